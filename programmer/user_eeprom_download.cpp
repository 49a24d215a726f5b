#include "programmer/user_eeprom_download.h"

#include "programmer/command_set.h"
#include "programmer/download_frame.h"
#include "programmer/session.h"

#include <filesystem>

namespace programmer {

namespace {

// A switch command: "\n<action>...", and on failure "\n<action> failed !\n" with the status.
bool switchStep(ProgrammerLink& link, Command command, const char* action) {
    return announcedStep(link, formatMessage("\n%s...", action), command,
                         formatMessage("\n%s failed !\n", action));
}

ViStatus eraseAndPause(ProgrammerLink& link) {
    const ViStatus status = cmd::eraseUserEeprom(link);
    link.wait(40);
    return status;
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

// With the EEPROM enabled: erase and write the file's cells. False when anything failed;
// `fileFound` says whether the file was there.
bool eraseAndWrite(ProgrammerLink& link, DownloadImage& image, const std::string& eprFilePath,
                   bool& fileFound) {
    if (!switchStep(link, eraseAndPause, "Erasing user EEPROM")) return false;
    fileFound = fileExists(eprFilePath);
    if (!fileFound) return true;
    link.report.appendMessage("\nWriting user EEPROM...");
    const bool ok = writeUserEeprom(link, image, eprFilePath) == 0;
    if (!ok) {
        link.report.appendMessage("\nWriting user EEPROM failed !\n");
        link.report.showErrorPopup("Writing of user EEPROM hexfile failed", 133);
    }
    showUserEepromTable(link.report, image);
    return ok;
}

// From BGAP on to the final power reset; false when anything failed.
bool programUserEeprom(ProgrammerLink& link, DownloadImage& image, const std::string& eprFilePath) {
    if (!switchStep(link, cmd::bgapOn, "Switching on BGAP")) return false;
    bool fileFound = false;
    bool ok = switchStep(link, cmd::eepromEnableOn, "Switching on EEPROM enable") &&
              eraseAndWrite(link, image, eprFilePath, fileFound);
    ok = switchStep(link, cmd::eepromEnableOff, "Switching off EEPROM enable") && ok;
    ok = switchStep(link, cmd::bgapOff, "Switching off BGAP") && ok;
    if (fileFound)
        link.report.appendMessage(formatMessage("\nNumber of programmed user EEPROM bytes: %d",
                                                static_cast<int>(image.userEeprom.size())));
    return performPowerReset(link) && ok;
}

// Sends one cell; false (with its message) when the transfer failed.
bool writeCell(ProgrammerLink& link, DownloadImage& image, const ImageLine& line) {
    const auto cell = static_cast<std::uint8_t>(line.address);
    const std::uint8_t value = line.values[0];
    image.userEeprom[cell] = value;
    const ViStatus status = cmd::writeUserEepromCell(link, cell, value);
    if (status != VI_SUCCESS) {
        link.report.appendMessage(
            formatMessage("\nFailed to write 0x%x at address: 0x%x", value, cell));
        reportVisaStatus(link, status);
        return false;
    }
    link.wait(50);
    return true;
}

// Whether a data line names a cell of the user EEPROM; otherwise says what is wrong.
bool validCell(ProgrammerLink& link, const ImageLine& line, int lineNumber) {
    if (line.kind == ImageLineKind::invalid) {
        link.report.appendMessage(
            formatMessage("\nInvalid line %d in user EEPROM hexfile\n", lineNumber));
        return false;
    }
    if (line.address >= DownloadImage::user_eeprom_size) {
        link.report.appendMessage(
            formatMessage("\nUser EEPROM address 0x%x in line %d is out of range (0x0 to 0x7f)\n",
                          static_cast<unsigned>(line.address), lineNumber));
        return false;
    }
    return true;
}

} // namespace

bool downloadUserEeprom(ProgrammerLink& link, DownloadImage& image,
                        const std::string& eprFilePath) {
    startDownloadFrame(link);
    link.report.appendMessage("\nvor open");
    openProgrammer(link);
    link.report.appendMessage("\nCommunication check...");
    powerResetAndPause(link, 100);
    initResetAndPause(link, 30);
    bool failed =
        !checkCommunication(link, "\n...passed.\n", "\n...FAILED! Please check connection.\n");
    if (!failed) failed = !programUserEeprom(link, image, eprFilePath);
    closeProgrammer(link);
    return finishDownloadFrame(link, failed);
}

int writeUserEeprom(ProgrammerLink& link, DownloadImage& image, const std::string& eprFilePath) {
    return readImageFile(
        link, eprFilePath, "Opening user EEPROM assignment hexfile failed",
        "\nWriting user EEPROM hexfile timed out\n",
        [&](const ImageLine& line, int lineNumber) {
            return validCell(link, line, lineNumber) && writeCell(link, image, line);
        },
        true);
}

} // namespace programmer
