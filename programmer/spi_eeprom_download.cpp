#include "programmer/spi_eeprom_download.h"

#include "programmer/command_set.h"
#include "programmer/download_frame.h"
#include "programmer/session.h"

#include <algorithm>

namespace programmer {

namespace {

constexpr std::size_t page_size = 16;
constexpr std::uint8_t read_instruction = 0x03;
constexpr RegisterValue spi_access_value{0x0B, 0x2A, 0x0A};

// The resets and the two single-byte writes before the communication check.
void prepareChip(ProgrammerLink& link) {
    powerResetAndPause(link, 100);
    link.report.appendMessage("\nCommunication check...");
    reportVisaStatus(link, cmd::initReset(link));
    const std::uint8_t at2[] = {0x0F};
    spiEepromWrite(link, 0x0002, at2);
    link.wait(7);
    powerResetAndPause(link, 100);
    initResetAndPause(link, 100);
    const std::uint8_t at5[] = {0x00};
    spiEepromWrite(link, 0x0005, at5);
    link.wait(7);
}

// Writes every page of the image; false after a failed page (the loop stops there).
bool writePages(ProgrammerLink& link, const DownloadImage& image) {
    const std::size_t pages = static_cast<std::size_t>(image.lastIndex / 16) + 1;
    link.report.progress(0, pages);
    for (std::size_t page = 0; page < pages; ++page) {
        std::array<std::uint8_t, page_size> bytes;
        for (std::size_t i = 0; i < page_size; ++i) {
            const std::size_t address = page * page_size + i;
            const bool inImage = static_cast<std::int64_t>(address) <= image.lastIndex;
            bytes[i] = inImage ? image.code[address] : 0xFF;
        }
        const ViStatus status =
            spiEepromWrite(link, static_cast<std::uint16_t>(page * page_size), bytes);
        link.wait(6);
        if (status != VI_SUCCESS) {
            link.report.appendMessage("\nProgramming Spi EEPROM failed !\n");
            link.report.showErrorPopup("Programming Spi EEPROM failed", 131);
            return false;
        }
        link.report.progress(page + 1, pages);
    }
    return true;
}

// From the busy cursor to the final reset; false when anything failed.
bool programImage(ProgrammerLink& link, DownloadImage& image, const std::string& hexFilePath) {
    ProgrammerReport& report = link.report;
    report.setBusy(true);
    report.appendMessage("Download in progress...");
    cmd::writeRegister(link, wire::reg_spi_access, spi_access_value);
    report.appendMessage("\nWriting hexfile...");
    report.appendMessage("\nSelected memory: SPI EEPROM");
    if (loadHexImage(link, image, hexFilePath) != 0) {
        report.appendMessage("\nReading from hexfile failed !\n");
        report.showErrorPopup("Reading from hexfile failed", 131);
        report.setBusy(false);
        return false;
    }
    bool ok = writePages(link, image);
    report.appendMessage(formatMessage("\nNumber of programmed bytes: %d", image.lastIndex + 1));
    link.wait(100);
    ok = performInitReset(link) && ok;
    report.setBusy(false);
    return ok;
}

// Reads the image back after the read instruction; false at the first difference.
bool compareBytes(ProgrammerLink& link, const DownloadImage& image, ViStatus running) {
    const std::int32_t count = image.lastIndex + 1;
    std::int32_t verified = 0;
    link.report.progress(0, static_cast<std::size_t>(std::max(count, 0)));
    for (; verified < count; ++verified) {
        const Reply reply = cmd::spiReadByte(link);
        running |= reply.status;
        link.wait(1);
        const std::uint8_t expected = image.code[static_cast<std::size_t>(verified)];
        if (running != VI_SUCCESS || reply.received != 1 || reply.bytes[0] != expected) {
            link.report.appendMessage("\nRead/Verify failed !\n");
            link.report.appendMessage(
                formatMessage("\nexpected: %x, obtained: %x", expected, reply.bytes[0]));
            reportVisaStatus(link, running);
            break;
        }
        link.report.progress(static_cast<std::size_t>(verified) + 1,
                             static_cast<std::size_t>(count));
    }
    reportVisaStatus(link, cmd::spiDeselect(link));
    link.report.appendMessage(formatMessage("\nNumber of verified bytes: %d", verified));
    return verified == std::max(count, 0);
}

// From the busy cursor to the end of the comparison; false when it failed.
bool readBack(ProgrammerLink& link, const DownloadImage& image) {
    link.report.setBusy(true);
    link.report.appendMessage("Verifying in progress...");
    ViStatus running = cmd::writeRegister(link, wire::reg_spi_access, spi_access_value);
    reportVisaStatus(link, running);
    link.wait(100);
    const auto step = [&](ViStatus status, int pause) {
        reportVisaStatus(link, status);
        running |= status;
        link.wait(pause);
    };
    step(cmd::spiSelectAndSendByte(link, read_instruction), 2);
    step(cmd::spiSendByte(link, 0x00), 1);
    step(cmd::spiSendByte(link, 0x00), 1);
    const bool ok = compareBytes(link, image, running);
    link.report.setBusy(false);
    return ok;
}

} // namespace

bool downloadSpiEeprom(ProgrammerLink& link, DownloadImage& image, const std::string& hexFilePath) {
    startDownloadFrame(link);
    bool failed = openProgrammer(link) != 0;
    if (!failed) {
        prepareChip(link);
        failed = !checkCommunication(link, "...OK.\n");
    }
    if (!failed) failed = !programImage(link, image, hexFilePath);
    closeProgrammer(link);
    return finishDownloadFrame(link, failed);
}

bool verifySpiEeprom(ProgrammerLink& link, const DownloadImage& image) {
    startVerifyFrame(link, "SPI EEPROM");
    if (!openForVerify(link)) return finishVerifyFrame(link, true);
    link.wait(100);
    initResetAndPause(link, 100);
    return checkCompareAndFinishVerify(link, [&] { return readBack(link, image); });
}

} // namespace programmer
