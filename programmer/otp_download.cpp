#include "programmer/otp_download.h"

#include "programmer/command_set.h"
#include "programmer/download_frame.h"
#include "programmer/session.h"

#include <algorithm>

namespace programmer {

namespace {

// A switch-on step of the download: on failure its message and popup 131.
bool switchOn(ProgrammerLink& link, Command command, int pause, const char* name) {
    const ViStatus status = command(link);
    link.wait(pause);
    if (status == VI_SUCCESS) return true;
    link.report.appendMessage(formatMessage("\n%s failed !\n", name));
    link.report.showErrorPopup(formatMessage("%s failed", name), 131);
    return false;
}

std::size_t writeCount(const DownloadImage& image, bool readProtect) {
    const auto bytes = static_cast<std::size_t>(std::max(image.lastIndex + 1, 0));
    return bytes * (image.redundancyMode() ? 2 : 1) + (readProtect ? 1 : 0);
}

// Every byte write, without pauses; the OR of their statuses.
ViStatus writeBytes(ProgrammerLink& link, const DownloadImage& image, bool readProtect) {
    ViStatus running = VI_SUCCESS;
    const std::size_t total = writeCount(image, readProtect);
    std::size_t done = 0;
    link.report.progress(done, total);
    const auto writeBlock = [&](std::uint16_t base) {
        for (std::int32_t i = 0; i <= image.lastIndex; ++i) {
            running |= cmd::writeOtpByte(link, static_cast<std::uint16_t>(base + i),
                                         image.code[static_cast<std::size_t>(i)]);
            link.report.progress(++done, total);
        }
    };
    writeBlock(0);
    if (image.redundancyMode()) {
        link.report.appendMessage("\nRedundancy Mode selected\n");
        writeBlock(otp_block1);
    }
    if (readProtect) {
        running |= cmd::writeOtpByte(link, otp_read_protect, 0xFF);
        link.report.progress(++done, total);
        link.report.appendMessage("\nRead Protect option selected\n");
    } else {
        link.report.appendMessage("\nWarning: Read Protect option not selected !\n");
    }
    return running;
}

// From VPP on to VPP off; false when anything failed. The switch-off commands always run.
bool programOtp(ProgrammerLink& link, const DownloadImage& image, bool readProtect) {
    bool ok = switchOn(link, cmd::vppOtpOn, 1000, "Switching on VPP_OTP") &&
              switchOn(link, cmd::enableOtp, 1, "Enable OTP") &&
              switchOn(link, cmd::enableOtpProgramming, 1, "Enable OTP Programming");
    if (ok && writeBytes(link, image, readProtect) != VI_SUCCESS) {
        link.report.appendMessage("\nOTP Programming failed !\n");
        link.report.showErrorPopup("OTP Programming failed", 131);
        ok = false;
    }
    cmd::otpProgrammingOff(link);
    link.wait(1);
    cmd::otpOff(link);
    link.wait(1);
    cmd::vppOtpOff(link);
    link.wait(1000);
    return ok;
}

// From the busy cursor to the final resets; false when anything failed.
bool burnImage(ProgrammerLink& link, DownloadImage& image, const std::string& hexFilePath,
               bool readProtect) {
    ProgrammerReport& report = link.report;
    report.setBusy(true);
    report.appendMessage("Download in progress...");
    report.appendMessage("\nWriting hexfile...");
    report.appendMessage("\nSelected memory: OTP");
    bool ok = loadHexImage(link, image, hexFilePath) == 0;
    if (!ok) {
        report.appendMessage("\nReading from hexfile failed !\n");
        report.showErrorPopup("Reading from hexfile failed", 131);
    } else {
        ok = programOtp(link, image, readProtect);
        report.appendMessage(
            formatMessage("\nNumber of programmed bytes: %d", image.lastIndex + 1));
        ok = performPowerReset(link) && ok;
        ok = performInitReset(link) && ok;
    }
    report.setBusy(false);
    return ok;
}

// One byte of the comparison; false (with its message) when it failed or differs.
bool verifyByte(ProgrammerLink& link, std::uint16_t address, std::uint8_t expected,
                ViStatus& running, const char* failure) {
    const Reply reply = cmd::readOtpByte(link, address);
    running |= reply.status;
    if (running == VI_SUCCESS && reply.received == 1 && reply.bytes[0] == expected) return true;
    link.report.appendMessage(failure);
    reportVisaStatus(link, running);
    return false;
}

bool compareOtp(ProgrammerLink& link, const DownloadImage& image) {
    link.report.setBusy(true);
    link.report.appendMessage("Verifying in progress...");
    ViStatus running = cmd::enableOtp(link);
    running |= cmd::otpReadSetup(link);
    running |= cmd::otpProgrammingOff(link);
    running |= cmd::readOtpByte(link, otp_read_protect).status;
    const std::int32_t count = std::max(image.lastIndex + 1, 0);
    std::int32_t verified = 0;
    link.report.progress(0, static_cast<std::size_t>(count));
    for (; verified < count; ++verified) {
        const auto i = static_cast<std::uint16_t>(verified);
        const std::uint8_t expected = image.code[i];
        if (!verifyByte(link, i, expected, running, "\nRead/Verify failed !\n")) break;
        if (image.redundancyMode() &&
            !verifyByte(link, static_cast<std::uint16_t>(otp_block1 + i), expected, running,
                        "\nRead/Verify failed, block 1 in Redundancy Mode !\n"))
            break;
        link.report.progress(static_cast<std::size_t>(verified) + 1,
                             static_cast<std::size_t>(count));
    }
    link.report.appendMessage(formatMessage("\nNumber of verified bytes: %d", verified));
    link.report.setBusy(false);
    return verified == count;
}

} // namespace

bool downloadOtp(ProgrammerLink& link, DownloadImage& image, const std::string& hexFilePath,
                 bool readProtect) {
    startDownloadFrame(link);
    bool failed = openProgrammer(link) != 0;
    if (!failed) {
        link.report.appendMessage("\nPerforming power reset...");
        powerResetAndPause(link, 100);
        link.report.appendMessage("\nPerforming init reset...");
        initResetAndPause(link, 30);
        link.report.appendMessage("\nCommunication check...");
        failed = !checkCommunication(link, "...OK.\n");
    }
    if (!failed) failed = !burnImage(link, image, hexFilePath, readProtect);
    closeProgrammer(link);
    return finishDownloadFrame(link, failed);
}

bool verifyOtp(ProgrammerLink& link, const DownloadImage& image) {
    startVerifyFrame(link, "OTP");
    if (!openForVerify(link)) return finishVerifyFrame(link, true);
    powerResetAndPause(link, 100);
    initResetAndPause(link, 30);
    return checkCompareAndFinishVerify(link, [&] { return compareOtp(link, image); });
}

} // namespace programmer
