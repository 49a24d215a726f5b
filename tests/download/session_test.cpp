// Opening and closing the programmer, its messages and lamp, the failures of the open, the
// device information, the interface reset and the debugger's open.
#include "link_fixture.h"
#include "programmer/command_set.h"
#include "programmer/session.h"

#include <cmath>

namespace {

using namespace programmer;

const std::string name = "USB0::0x194E::0x100F::KZ71SIM0001::RAW";
const std::string separator = "\n- - - - - - - - - - - - - - - - - - - - - - - - -\n";

std::string description(ViStatus status) {
    ViChar text[VI_FIND_BUFLEN];
    viStatusDesc(VI_NULL, status, text);
    return text;
}

using Session = LinkTest;

TEST_F(Session, OpenTellsEachStepAndSelectsSpi) {
    ASSERT_EQ(openProgrammer(link), 0);
    EXPECT_EQ(report.box, "Opening connection...\nLooking for KZ71 programmer...\n"
                          "\nKZ71 programmer found\n"
                          "\nusing SPI interface for communication with KZ71\n");
    EXPECT_EQ(report.events, (std::vector<std::string>{"lamp IN PROGRESS", "clear"}));
    EXPECT_EQ(wire(), (std::vector<std::string>{"OUT B0 0055 0000 []"}));
    EXPECT_EQ(session.devicesFound, 1u);
    EXPECT_EQ(session.instrumentDescriptor, name);
    EXPECT_NE(session.instrument, VI_NULL);

    closeProgrammer(link);
    EXPECT_TRUE(report.box.ends_with("\nClose connection...\n" + separator)) << report.box;
    EXPECT_EQ(report.lastLamp(), "off");
    EXPECT_EQ(session.instrument, VI_NULL);
    EXPECT_EQ(session.resourceManager, VI_NULL);

    // Later opens only start a new line; the box is cleared once per start or reset.
    const std::string before = report.box;
    ASSERT_EQ(openProgrammer(link), 0);
    EXPECT_TRUE(report.box.substr(before.size()).starts_with("\nOpening connection..."));
}

TEST_F(Session, AnOpenSessionIsUsedUnchanged) {
    ASSERT_EQ(openProgrammer(link), 0);
    const std::string box = report.box;
    clearWire();
    report.events.clear();
    EXPECT_EQ(openProgrammer(link), 0);
    EXPECT_EQ(report.box, box);
    EXPECT_EQ(report.events, (std::vector<std::string>{"lamp IN PROGRESS"}));
    EXPECT_TRUE(wire().empty());
}

TEST_F(Session, NoProgrammerOnTheBus) {
    simulator->unplug();
    EXPECT_EQ(openProgrammer(link), 1);
    EXPECT_EQ(report.box, "Opening connection...\nLooking for KZ71 programmer...\n" +
                              description(VI_ERROR_RSRC_NFOUND) + "\nKZ71 programmer not found!\n");
    // The instrument was never opened: closing it reports VISA's warning, as any status.
    closeProgrammer(link);
    EXPECT_TRUE(report.box.ends_with("\nClose connection...\n" + description(VI_WARN_NULL_OBJECT) +
                                     "\n" + separator))
        << report.box;
    EXPECT_TRUE(wire().empty());
}

TEST_F(Session, ProgrammerHeldByAnotherProgram) {
    simulator->faults().holdByOtherProgram(true);
    EXPECT_EQ(openProgrammer(link), 1);
    EXPECT_TRUE(report.box.ends_with(description(VI_ERROR_RSRC_BUSY) +
                                     "\nThe Programmer is being used by another application\n"
                                     "connection could not be opened\n"))
        << report.box;
    closeProgrammer(link);
}

TEST_F(Session, NoVisaBackendEndsTheOpenAtOnce) {
    setenv("KZ71_PROGRAMMER", "nonexistent", 1);
    EXPECT_EQ(openProgrammer(link), 1);
    EXPECT_EQ(report.box, "Opening connection..." + description(VI_ERROR_LIBRARY_NFOUND) +
                              "\nconnection could not be opened\n");
    setenv("KZ71_PROGRAMMER", "sim", 1);
}

TEST_F(Session, IicWithItsAddress) {
    link.chipInterface = {true, 0x20};
    ASSERT_EQ(openProgrammer(link), 0);
    EXPECT_EQ(wire(), (std::vector<std::string>{"OUT B0 0056 0000 []", "OUT B0 007D 0020 []"}));
    EXPECT_TRUE(report.box.ends_with("\nusing IIC interface for communication with KZ71\n"));
    EXPECT_TRUE(communicationCheck(link)); // the chip answers at 0x20
    closeProgrammer(link);
}

TEST_F(Session, RequestedResourceAmongSeveral) {
    link.requestedResource = "usb0::0x194e::0x100f::kz71sim0001::raw";
    ASSERT_EQ(openProgrammer(link), 0);
    EXPECT_EQ(session.instrumentDescriptor, name);
    closeProgrammer(link);

    link.requestedResource = "USB0::0x194E::0x100F::OTHER::RAW";
    EXPECT_EQ(openProgrammer(link), 1);
    EXPECT_TRUE(report.box.ends_with("KZ71 programmer not found!\n"));
    closeProgrammer(link);

    std::vector<std::string> names;
    EXPECT_EQ(findProgrammers(names), VI_SUCCESS);
    EXPECT_EQ(names, std::vector<std::string>{name});
    simulator->unplug();
    EXPECT_EQ(findProgrammers(names), VI_ERROR_RSRC_NFOUND);
    EXPECT_TRUE(names.empty());
}

TEST_F(Session, FailedStatusesAreDescribedAndTimeOutsShortened) {
    reportVisaStatus(link, VI_SUCCESS);
    EXPECT_EQ(report.box, "");
    reportVisaStatus(link, VI_ERROR_IO);
    EXPECT_EQ(report.box, description(VI_ERROR_IO) + "\n");
    report.box.clear();
    reportVisaStatus(link, VI_ERROR_TMO);
    EXPECT_EQ(report.box, "Timeout...\n");

    // A transfer that times out on the wire tells it the same way.
    ASSERT_EQ(openProgrammer(link), 0);
    simulator->faults().failCommand(wire::power_reset, sim::Failure::timeout, 1);
    report.box.clear();
    reportVisaStatus(link, cmd::powerReset(link));
    EXPECT_EQ(report.box, "Timeout...\n");
    EXPECT_EQ(session.lastStatus, VI_ERROR_TMO);
    closeProgrammer(link);
}

TEST_F(Session, DeviceInfo) {
    EXPECT_TRUE(showDeviceInfo(link));
    EXPECT_EQ(report.events.at(0), "page");
    EXPECT_EQ(report.events.at(1), "label Status");
    EXPECT_NE(report.box.find("\n\nDevices found: 1\nInstrument descriptor: " + name +
                              "\nFirmware version: 1\n\nClose connection...\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(wire().at(1), "IN B0 0021 0000 len 1 [01]");
    EXPECT_EQ(session.firmwareVersion, 1);
    EXPECT_EQ(report.lastLamp(), "off");

    simulator->unplug();
    report.box.clear();
    EXPECT_FALSE(showDeviceInfo(link));
    EXPECT_NE(report.box.find("\nThere is no device information available !\n"), std::string::npos);
    EXPECT_TRUE(report.box.ends_with(separator));
}

TEST_F(Session, ResetInterfaceClosesEverythingAndRestartsTheMessages) {
    ASSERT_EQ(openProgrammer(link), 0);
    report.events.clear();
    resetInterface(link);
    EXPECT_TRUE(report.box.ends_with("\n\nReset interface...\nDone"));
    EXPECT_EQ(report.events,
              (std::vector<std::string>{"lamp off", "label Status", "read&verify off"}));
    EXPECT_EQ(session.resourceManager, VI_NULL);
    EXPECT_EQ(session.instrument, VI_NULL);
    EXPECT_FALSE(session.messagesStarted);
    ASSERT_EQ(openProgrammer(link), 0);
    EXPECT_EQ(report.events.back(), "clear");
    EXPECT_TRUE(report.box.starts_with("Opening connection..."));
    closeProgrammer(link);
}

struct DebugHooks final : DebugModeControl {
    bool active = false;
    int entered = 0;
    int ended = 0;
    bool debugModeActive() const override { return active; }
    int enterDebugMode() override {
        ++entered;
        active = true;
        return 0;
    }
    void endDebugSession() override {
        ++ended;
        active = false;
    }
};

TEST_F(Session, DebugOpenSetsTheVoltageAndEntersDebugMode) {
    DebugHooks hooks;
    link.debug = &hooks;
    ASSERT_EQ(openProgrammerForDebug(link), 0);
    EXPECT_EQ(wire(), (std::vector<std::string>{"OUT B0 0023 0000 [99]", "OUT B0 0055 0000 []"}));
    EXPECT_EQ(pauseAfter(0), 100ms);
    EXPECT_EQ(session.programmerVoltage, 3.0);
    EXPECT_EQ(simulator->programmer().voltageCode(), 0x99);
    EXPECT_EQ(report.box, "\nKZ71 programmer found\n"
                          "\nusing SPI interface for communication with KZ71\n");
    EXPECT_EQ(hooks.entered, 1);
    EXPECT_TRUE(report.popups().empty());
    // Held open: the next open returns at once.
    EXPECT_EQ(openProgrammerForDebug(link), 0);
    EXPECT_EQ(wire().size(), 2u);
    closeProgrammer(link);

    session.programmerVoltage = 2.5; // 128 steps of 5/256 V
    ASSERT_EQ(openProgrammerForDebug(link), 0);
    EXPECT_EQ(simulator->programmer().voltageCode(), 128);
    EXPECT_EQ(hooks.entered, 1); // still active
    closeProgrammer(link);

    session.programmerVoltage = std::nan("");
    ASSERT_EQ(openProgrammerForDebug(link), 0);
    EXPECT_EQ(session.programmerVoltage, 3.0);
    closeProgrammer(link);
}

TEST_F(Session, DebugOpenFailuresArePopups) {
    setenv("KZ71_PROGRAMMER", "nonexistent", 1);
    EXPECT_EQ(openProgrammerForDebug(link), 1);
    setenv("KZ71_PROGRAMMER", "sim", 1);
    closeProgrammer(link);

    simulator->unplug();
    EXPECT_EQ(openProgrammerForDebug(link), 1);
    closeProgrammer(link);
    simulator->plug();

    simulator->faults().failCommand(wire::vpp_otp_on, sim::Failure::stall);
    EXPECT_EQ(openProgrammerForDebug(link), 0); // the voltage is only warned about
    EXPECT_EQ(
        report.popups(),
        (std::vector<std::string>{
            "error 208 Cannot obtain resource manager handle",
            "error 209 Cannot obtain USB instrument descriptor.\nNo USB communication "
            "possible.",
            "warning 210 Setting voltage of programmer failed!\n" + description(VI_ERROR_IO)}));
    closeProgrammer(link);
}

} // namespace
