#include "programmer/download_frame.h"

#include "programmer/command_set.h"
#include "programmer/session.h"

#include <cstdarg>
#include <cstdio>

namespace programmer {

void startDownloadFrame(ProgrammerLink& link) {
    if (link.debug) link.debug->endDebugSession();
    link.report.showDownloadPage();
    link.report.setReadVerifyEnabled(false);
    link.report.setLampLabel(lamp_label_download);
}

bool finishDownloadFrame(ProgrammerLink& link, bool failed) {
    link.report.setLamp(failed ? LampState::failed : LampState::success);
    if (!failed) link.report.setReadVerifyEnabled(true);
    return !failed;
}

void startVerifyFrame(ProgrammerLink& link, const char* memoryName) {
    link.report.showDownloadPage();
    link.report.appendMessage(formatMessage("\nSelected memory: %s", memoryName));
    link.report.setLampLabel(lamp_label_verify);
}

bool checkCompareAndFinishVerify(ProgrammerLink& link, const std::function<bool()>& compare) {
    link.report.appendMessage("\nCommunication check...");
    bool failed = !checkCommunication(link, "...OK\n");
    if (!failed) failed = !compare();
    link.wait(100);
    failed = !performInitReset(link) || failed;
    closeProgrammer(link);
    return finishVerifyFrame(link, failed);
}

bool finishVerifyFrame(ProgrammerLink& link, bool failed) {
    ProgrammerReport& report = link.report;
    report.appendMessage(failed ? "\nRead & verify failed. Please download hexfile again !"
                                : "\nRead & verify was successful. Download was successful.");
    report.appendMessage("\n\n" + std::string(separator_line) + "\n");
    report.setLamp(failed ? LampState::failed : LampState::success);
    report.showVerifyFailed(failed);
    if (failed) report.showErrorPopup("Read & verify failed.\nPlease download hexfile again!", 132);
    return !failed;
}

bool openForVerify(ProgrammerLink& link) {
    if (openProgrammer(link) == 0) return true;
    link.report.appendMessage(
        "Read & Verify failed. It wasn't possible to establish an USB connection.");
    closeProgrammer(link);
    return false;
}

bool checkCommunication(ProgrammerLink& link, const char* passed, const char* failed) {
    const bool ok = communicationCheck(link);
    link.report.appendMessage(ok ? passed : failed);
    return ok;
}

void powerResetAndPause(ProgrammerLink& link, int milliseconds) {
    reportVisaStatus(link, cmd::powerReset(link));
    link.wait(milliseconds);
}

void initResetAndPause(ProgrammerLink& link, int milliseconds) {
    reportVisaStatus(link, cmd::initReset(link));
    link.wait(milliseconds);
}

bool announcedStep(ProgrammerLink& link, const std::string& announcement, Command command,
                   const std::string& failure) {
    link.report.appendMessage(announcement);
    const ViStatus status = command(link);
    if (status == VI_SUCCESS) return true;
    link.report.appendMessage(failure);
    reportVisaStatus(link, status);
    return false;
}

bool performPowerReset(ProgrammerLink& link) {
    return announcedStep(link, "\nPerforming power reset...", cmd::powerReset,
                         "\nExecution of power reset failed !\n");
}

bool performInitReset(ProgrammerLink& link) {
    return announcedStep(link, "\nPerforming init reset...", cmd::initReset,
                         "\nExecution of init reset failed !\n");
}

std::string formatMessage(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

} // namespace programmer
