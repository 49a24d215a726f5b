#include "programmer/session.h"

#include "programmer/command_set.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace programmer {

namespace {

constexpr ViUInt32 open_timeout_ms = 1000;

bool sameResourceName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Walks the search's matches for the requested resource name.
ViStatus findRequested(ProgrammerLink& link) {
    ProgrammerSession& s = link.session;
    ViFindList list = VI_NULL;
    ViChar desc[VI_FIND_BUFLEN] = {};
    ViStatus status =
        viFindRsrc(s.resourceManager, programmer_expression, &list, &s.devicesFound, desc);
    while (status == VI_SUCCESS && !sameResourceName(desc, link.requestedResource))
        status = viFindNext(list, desc);
    if (list != VI_NULL) viClose(list);
    if (status == VI_SUCCESS) s.instrumentDescriptor = desc;
    return status;
}

// The search of the open: the first programmer found, or the one the link asks for.
ViStatus searchProgrammer(ProgrammerLink& link) {
    ProgrammerSession& s = link.session;
    s.instrumentDescriptor.clear();
    if (!link.requestedResource.empty()) return s.lastStatus = findRequested(link);
    ViChar desc[VI_FIND_BUFLEN] = {};
    s.lastStatus =
        viFindRsrc(s.resourceManager, programmer_expression, nullptr, &s.devicesFound, desc);
    s.instrumentDescriptor = desc;
    return s.lastStatus;
}

ViStatus openInstrument(ProgrammerSession& s) {
    return s.lastStatus = viOpen(s.resourceManager, s.instrumentDescriptor.c_str(), VI_NO_LOCK,
                                 open_timeout_ms, &s.instrument);
}

// SPI or IIC as the settings say; the statuses only go to lastStatus.
void selectChipInterface(ProgrammerLink& link) {
    if (link.chipInterface.useIic) {
        cmd::selectIicInterface(link);
        cmd::setIicAddress(link, link.chipInterface.iicAddress);
        link.report.appendMessage("\nusing IIC interface for communication with KZ71\n");
    } else {
        cmd::selectSpiInterface(link);
        link.report.appendMessage("\nusing SPI interface for communication with KZ71\n");
    }
}

// The voltage code the debugger's open sends: 5/256 V per step, out-of-range voltages as 3.0 V.
std::uint8_t voltageCode(double& volts) {
    if (!(volts >= 2.0 && volts <= 3.6)) volts = 3.0;
    const auto steps = static_cast<long>(volts / 0.01953125);
    return static_cast<std::uint8_t>(steps % 256);
}

void setProgrammerVoltage(ProgrammerLink& link) {
    const ViStatus status =
        cmd::setProgrammerVoltage(link, voltageCode(link.session.programmerVoltage));
    if (status == VI_SUCCESS) return;
    std::string message = "Setting voltage of programmer failed!\n";
    message += visaStatusDescription(link, status);
    link.report.showWarningPopup(message, 210);
}

} // namespace

std::string visaStatusDescription(const ProgrammerLink& link, ViStatus status) {
    ViChar desc[VI_FIND_BUFLEN] = {};
    viStatusDesc(link.session.instrument, status, desc);
    return desc;
}

void reportVisaStatus(ProgrammerLink& link, ViStatus status) {
    if (status == VI_SUCCESS) return;
    std::string text = visaStatusDescription(link, status);
    // A time-out is told in one word, whatever language the VISA description is in.
    if (status == VI_ERROR_TMO || text.find("bevor") != std::string::npos) text = "Timeout...";
    link.report.appendMessage(text + "\n");
}

int openProgrammer(ProgrammerLink& link) {
    ProgrammerSession& s = link.session;
    ProgrammerReport& report = link.report;
    report.setLamp(LampState::inProgress);
    if (s.resourceManager != VI_NULL) return 0;
    s.lastStatus = viOpenDefaultRM(&s.resourceManager);
    if (!s.messagesStarted) {
        report.clearMessages();
        s.messagesStarted = true;
    } else {
        report.appendMessage("\n");
    }
    report.appendMessage("Opening connection...");
    reportVisaStatus(link, s.lastStatus);
    if (s.lastStatus != VI_SUCCESS) {
        report.appendMessage("connection could not be opened\n");
        return 1;
    }
    report.appendMessage("\nLooking for KZ71 programmer...\n");
    reportVisaStatus(link, searchProgrammer(link));
    if (s.lastStatus != VI_SUCCESS) {
        report.appendMessage("KZ71 programmer not found!\n");
        return 1;
    }
    reportVisaStatus(link, openInstrument(s));
    if (s.lastStatus != VI_SUCCESS) {
        report.appendMessage("The Programmer is being used by another application\n");
        report.appendMessage("connection could not be opened\n");
        return 1;
    }
    report.appendMessage("\nKZ71 programmer found\n");
    selectChipInterface(link);
    return 0;
}

void closeProgrammer(ProgrammerLink& link) {
    ProgrammerSession& s = link.session;
    link.report.appendMessage("\nClose connection...\n");
    reportVisaStatus(link, s.lastStatus = viClose(s.instrument));
    reportVisaStatus(link, s.lastStatus = viClose(s.resourceManager));
    s.instrument = VI_NULL;
    s.resourceManager = VI_NULL;
    link.report.appendMessage("\n" + std::string(separator_line) + "\n");
    link.report.setLamp(LampState::idle);
}

int openProgrammerForDebug(ProgrammerLink& link) {
    ProgrammerSession& s = link.session;
    if (s.resourceManager != VI_NULL) return 0;
    s.lastStatus = viOpenDefaultRM(&s.resourceManager);
    if (s.lastStatus != VI_SUCCESS) {
        link.report.showErrorPopup("Cannot obtain resource manager handle", 208);
        return 1;
    }
    if (searchProgrammer(link) != VI_SUCCESS) {
        link.report.showErrorPopup(
            "Cannot obtain USB instrument descriptor.\nNo USB communication possible.", 209);
        return 1;
    }
    openInstrument(s);
    setProgrammerVoltage(link);
    link.wait(100);
    link.report.appendMessage("\nKZ71 programmer found\n");
    selectChipInterface(link);
    if (link.debug && !link.debug->debugModeActive()) link.debug->enterDebugMode();
    return 0;
}

bool showDeviceInfo(ProgrammerLink& link) {
    ProgrammerSession& s = link.session;
    link.report.showDownloadPage();
    link.report.setLampLabel(lamp_label_status);
    openProgrammer(link);
    const Reply version = cmd::readFirmwareVersion(link);
    reportVisaStatus(link, version.status);
    const bool read = version.complete(1);
    if (read) {
        s.firmwareVersion = version.bytes[0];
        char text[VI_FIND_BUFLEN + 96];
        std::snprintf(text, sizeof text,
                      "\n\nDevices found: %u\nInstrument descriptor: %s\nFirmware version: %d\n",
                      static_cast<unsigned>(s.devicesFound), s.instrumentDescriptor.c_str(),
                      s.firmwareVersion);
        link.report.appendMessage(text);
    } else {
        link.report.appendMessage("\nThere is no device information available !\n");
    }
    closeProgrammer(link);
    return read;
}

void resetInterface(ProgrammerLink& link) {
    ProgrammerSession& s = link.session;
    link.report.appendMessage("\n\nReset interface...\n");
    s.lastStatus = viClose(s.instrument);
    s.lastStatus = viClose(s.resourceManager);
    s.instrument = VI_NULL;
    s.resourceManager = VI_NULL;
    s.messagesStarted = false;
    link.report.appendMessage("Done");
    resetStatusLamp(link.report);
}

void resetStatusLamp(ProgrammerReport& report) {
    report.setLamp(LampState::idle);
    report.setLampLabel(lamp_label_status);
    report.setReadVerifyEnabled(false);
}

ViStatus findProgrammers(std::vector<std::string>& names) {
    names.clear();
    ViSession rm = VI_NULL;
    ViStatus status = viOpenDefaultRM(&rm);
    if (status != VI_SUCCESS) return status;
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN] = {};
    status = viFindRsrc(rm, programmer_expression, &list, &count, desc);
    for (ViUInt32 i = 0; status == VI_SUCCESS && i < count; ++i) {
        names.emplace_back(desc);
        if (i + 1 < count) status = viFindNext(list, desc);
    }
    viClose(rm);
    return status;
}

} // namespace programmer
