// The user EEPROM download: switches, erase, one write per cell of the .epr file with its
// pause, the table, the time limit, and the failure paths.
#include "link_fixture.h"
#include "programmer/download_commands.h"
#include "programmer/user_eeprom_download.h"

#include <cstdio>

namespace {

using namespace programmer;

std::string cellWrite(int cell, int value) {
    char data[16];
    std::snprintf(data, sizeof data, "%02X %02X 78", value, value);
    return out(0xA1, cell, data);
}

struct UserEeprom : LinkTest {
    bool download(const std::string& eprText) {
        return downloadUserEeprom(link, image, writeFile("prog.epr", eprText));
    }
    const std::array<std::uint8_t, 128>& cells() { return simulator->chip().userEeprom().cells(); }
    DownloadImage image;
};

TEST_F(UserEeprom, EveryCellInFileOrderThenTheTable) {
    std::map<int, int> all;
    for (int i = 0; i < 128; ++i)
        all[i] = (i * 37 + 11) & 0xFF;
    ASSERT_TRUE(download(eprFileText(all))) << report.box;

    const Lines lines = wire();
    const std::size_t bgap = find(out(0x87));
    ASSERT_EQ(lines.size(), bgap + 3 + 128 + 3);
    EXPECT_EQ(lines[bgap + 1], out(0x91));
    EXPECT_EQ(lines[bgap + 2], out(0xA4, 0, "00 00 78"));
    EXPECT_EQ(pauseAfter(bgap + 2), 40ms + 100ms); // the erase, then the file is opened
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(lines[bgap + 3 + static_cast<std::size_t>(i)], cellWrite(i, all[i]));
        EXPECT_EQ(pauseAfter(bgap + 3 + static_cast<std::size_t>(i)), 50ms);
    }
    EXPECT_EQ(lines[bgap + 131], out(0x90));
    EXPECT_EQ(lines[bgap + 132], out(0x86));
    EXPECT_EQ(lines[bgap + 133], out(0xF0));
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ(cells()[static_cast<std::size_t>(i)], all[i]) << i;

    EXPECT_NE(report.box.find("\nCommunication check...\n...passed.\n\nSwitching on BGAP..."
                              "\nSwitching on EEPROM enable...\nErasing user EEPROM..."
                              "\nWriting user EEPROM...\nSwitching off EEPROM enable..."
                              "\nSwitching off BGAP...\nNumber of programmed user EEPROM bytes: "
                              "128\nPerforming power reset...\nClose connection...\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ((report.cells[{2, 2}]), "0x0b");
    EXPECT_EQ((report.cells[{9, 17}]), "0x66"); // cell 127
    EXPECT_EQ(report.lastLamp(), "SUCCESS");
    EXPECT_EQ(report.events.back(), "read&verify on");
}

TEST_F(UserEeprom, CommentAndEmptyLinesSendNothingAndCostNoPause) {
    ASSERT_TRUE(download("// head\r\n05: 11 \r\n\r\n// between\r\n06: 22 \r\n// --- EOF ---"));
    const std::size_t first = find(cellWrite(5, 0x11));
    EXPECT_EQ(wire().at(first + 1), cellWrite(6, 0x22));
    EXPECT_EQ(pauseAfter(first), 50ms);
    EXPECT_EQ(cells()[5], 0x11);
    EXPECT_EQ(cells()[6], 0x22);
    EXPECT_EQ(image.userEeprom[5], 0x11);
}

TEST_F(UserEeprom, CellsNotInTheFileKeepTheirValueInTheMirror) {
    image.userEeprom[9] = 0x99;
    ASSERT_TRUE(download(eprFileText({{1, 0x01}})));
    EXPECT_EQ((report.cells[{3, 3}]), "0x99");
    EXPECT_EQ(cells()[9], 0x00); // erased on the chip
}

TEST_F(UserEeprom, BgapFailingSendsNoSwitchOff) {
    simulator->faults().failCommand(wire::bgap_on, sim::Failure::stall);
    EXPECT_FALSE(download(eprFileText({{1, 2}})));
    EXPECT_EQ(wire().back(), out(0x87) + " stalled");
    EXPECT_NE(report.box.find("\nSwitching on BGAP...\nSwitching on BGAP failed !\n"
                              "Could not perform operation because of I/O error.\n"
                              "\nClose connection...\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.lastLamp(), "FAILED");
    EXPECT_TRUE(report.cells.empty());
}

TEST_F(UserEeprom, FailedEnableSkipsTheErase) {
    simulator->faults().failCommand(wire::eeprom_enable_on, sim::Failure::stall);
    EXPECT_FALSE(download(eprFileText({{1, 2}})));
    const Lines lines = wire();
    EXPECT_EQ(Lines(lines.begin() + static_cast<long>(find(out(0x87))), lines.end()),
              (Lines{out(0x87), out(0x91) + " stalled", out(0x90), out(0x86), out(0xF0)}));
    EXPECT_EQ(report.box.find("Number of programmed user EEPROM bytes"), std::string::npos);
}

TEST_F(UserEeprom, AFailedCellStopsTheWriting) {
    int cellsSent = 0;
    report.onProgress = nullptr;
    simulator->faults().failCommand(wire::write_user_eeprom_cell, sim::Failure::stall);
    EXPECT_FALSE(download(eprFileText({{0, 0x10}, {1, 0x20}})));
    cellsSent = static_cast<int>(count("OUT B0 00A1"));
    EXPECT_EQ(cellsSent, 1);
    EXPECT_NE(report.box.find("\nWriting user EEPROM...\nFailed to write 0x10 at address: 0x0"
                              "Could not perform operation because of I/O error.\n"
                              "\nWriting user EEPROM failed !\n\nSwitching off EEPROM enable..."),
              std::string::npos)
        << report.box;
    EXPECT_NE(report.box.find("\nNumber of programmed user EEPROM bytes: 128"), std::string::npos);
    EXPECT_EQ(report.popups(), (Lines{"error 133 Writing of user EEPROM hexfile failed"}));
    EXPECT_EQ(image.userEeprom[0], 0x10); // the mirror holds the failed cell's value too
    EXPECT_EQ((report.cells[{2, 2}]), "0x10");
}

TEST_F(UserEeprom, CellAddressesBeyondTheEepromAreRefused) {
    EXPECT_FALSE(download("00: 01 \r\n80: 02 \r\n01: 03 \r\n"));
    EXPECT_EQ(count("OUT B0 00A1"), 1u);
    EXPECT_NE(report.box.find("\nUser EEPROM address 0x80 in line 2 is out of range (0x0 to "
                              "0x7f)\n\nWriting user EEPROM failed !\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(image.userEeprom[0], 0x01);

    report.box.clear();
    EXPECT_FALSE(download("00: 01 \r\nnonsense\r\n"));
    EXPECT_NE(report.box.find("\nInvalid line 2 in user EEPROM hexfile\n"), std::string::npos);
}

TEST_F(UserEeprom, WritingStopsAfterFiftySeconds) {
    std::string text;
    for (int i = 0; i < 1200; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "%02X: %02X \n", i % 128, i & 0xFF);
        text += line;
    }
    const auto before = clock->now();
    EXPECT_FALSE(download(text));
    EXPECT_NE(report.box.find("\nWriting user EEPROM hexfile timed out\n"), std::string::npos);
    const std::size_t written = count("OUT B0 00A1");
    EXPECT_GT(written, 900u);
    EXPECT_LT(written, 1000u);
    EXPECT_LT(clock->now() - before, 60s);
}

TEST_F(UserEeprom, WithoutTheFileOnlyTheErase) {
    EXPECT_TRUE(downloadUserEeprom(link, image, (dir.path() / "none.epr").string()));
    EXPECT_EQ(count(out(0xA4, 0, "00 00 78")), 1u);
    EXPECT_EQ(count("OUT B0 00A1"), 0u);
    EXPECT_EQ(report.box.find("Writing user EEPROM"), std::string::npos);
    EXPECT_EQ(report.box.find("Number of programmed user EEPROM bytes"), std::string::npos);
    EXPECT_TRUE(report.cells.empty());
}

using DownloadCommand = LinkTest;

TEST_F(DownloadCommand, NoHexFileWarnsAndSendsNothing) {
    DownloadImage image;
    EXPECT_FALSE(downloadHexFile(link, image, {}));
    EXPECT_EQ(report.events, (Lines{"warning 130 There was no hexfile selected for download"}));
    EXPECT_TRUE(wire().empty());
}

TEST_F(DownloadCommand, DecliningTheOtpWarningSendsNothing) {
    DownloadImage image;
    report.answer = false;
    DownloadRequest request{TargetMemory::otp, true, writeFile("p.hex", hexFileText({1, 2})),
                            writeFile("p.epr", eprFileText({{0, 1}}))};
    EXPECT_FALSE(downloadHexFile(link, image, request));
    EXPECT_EQ(report.events, (Lines{"ask Warning Warning: any change to the OTP content is "
                                    "permanent, do you want to continue?"}));
    EXPECT_TRUE(wire().empty());

    report.answer = true;
    EXPECT_TRUE(downloadHexFile(link, image, request)) << report.box;
    EXPECT_EQ(count("OUT B0 00A7 1FCF [FF]"), 1u);
    EXPECT_EQ(count("OUT B0 00A1"), 1u);
}

TEST_F(DownloadCommand, UserEepromFollowsEvenAFailedProgramDownload) {
    DownloadImage image;
    DownloadRequest request{TargetMemory::spiEeprom, false, (dir.path() / "gone.hex").string(),
                            writeFile("p.epr", eprFileText({{3, 0x33}}))};
    EXPECT_FALSE(downloadHexFile(link, image, request));
    EXPECT_EQ(count("OUT B0 0053"), 4u); // only the two single-byte writes
    EXPECT_EQ(count(cellWrite(3, 0x33)), 1u);
    // The cells were written, yet the download as a whole failed: the lamp ends red.
    EXPECT_EQ(report.lastLamp(), "FAILED");
    EXPECT_EQ(std::count(report.events.begin(), report.events.end(),
                         "ask Warning Warning: any "
                         "change to the OTP content is permanent, do you want to continue?"),
              0);

    // Read & Verify then checks the memory selected.
    clearWire();
    readAndVerify(link, image, TargetMemory::otp);
    EXPECT_EQ(count("IN B0 00A6"), 2u); // the read-protect byte and byte 0
    EXPECT_EQ(count("IN B0 0050"), 0u);
}

} // namespace
