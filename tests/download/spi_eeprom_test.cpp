// The SPI EEPROM download and read & verify: the exact wire sequence with its pauses, and every
// way they can fail.
#include "link_fixture.h"
#include "programmer/spi_eeprom_download.h"

#include <cstdio>

namespace {

using namespace programmer;

void append(Lines& lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

// The SPI write of `bytes` at `address`.
Lines spiWrite(int address, const Bytes& bytes) {
    Lines lines{out(0x53, 0x06), out(0x54), out(0x53, 0x02), out(0x52, address >> 8),
                out(0x52, address & 0xFF)};
    for (const std::uint8_t b : bytes)
        lines.push_back(out(0x52, b));
    lines.push_back(out(0x54));
    return lines;
}

const Lines communication_check{out(0x00, 0xF0, "00 00 00"), out(0x00, 0xF0, "AA 55 66"),
                                "IN B0 0040 00F0 len 3 [AA 55 66]", out(0x00, 0xF0, "00 00 00")};

struct SpiEeprom : LinkTest {
    // Downloads `image` from a .hex file.
    bool download(const Bytes& bytes) {
        return downloadSpiEeprom(link, image, writeFile("prog.hex", hexFileText(bytes)));
    }
    const std::array<std::uint8_t, 8192>& eeprom() const {
        return simulator->board().spi_eeprom.contents();
    }
    DownloadImage image;
};

TEST_F(SpiEeprom, SeventeenBytesWriteTwoPagesTheSecondPaddedWithFF) {
    const Bytes bytes = countingImage(17);
    ASSERT_TRUE(download(bytes)) << report.box;

    Lines expected{out(0x55), out(0xF0), out(0xC0)};
    append(expected, spiWrite(0x0002, {0x0F}));
    append(expected, {out(0xF0), out(0xC0)});
    append(expected, spiWrite(0x0005, {0x00}));
    append(expected, communication_check);
    expected.push_back(out(0x00, 0x3C, "0B 2A 0A"));
    append(expected, spiWrite(0x0000, Bytes(bytes.begin(), bytes.begin() + 16)));
    Bytes second(16, 0xFF);
    second[0] = bytes[16];
    append(expected, spiWrite(0x0010, second));
    expected.push_back(out(0xC0));
    EXPECT_EQ(wire(), expected);

    // The pauses: after the resets, the single-byte writes, the file open, each page.
    const auto after = [&](std::size_t i) { return pauseAfter(i); };
    EXPECT_EQ(after(1), 100ms);             // power reset
    EXPECT_EQ(after(2), 0ms);               // init reset, then straight on
    EXPECT_EQ(after(9), 7ms);               // the write at address 2
    EXPECT_EQ(after(10), 100ms);            // power reset
    EXPECT_EQ(after(11), 100ms);            // init reset
    EXPECT_EQ(after(18), 7ms);              // the write at address 5
    EXPECT_EQ(after(23), 100ms);            // register 0x3C, then the hex file is opened
    EXPECT_EQ(after(23 + 22), 6ms);         // page 0
    EXPECT_EQ(after(23 + 44), 6ms + 100ms); // page 1, then before the init reset

    EXPECT_EQ(report.box.substr(report.box.find("\nusing SPI")),
              "\nusing SPI interface for communication with KZ71\n"
              "\nCommunication check......OK.\nDownload in progress..."
              "\nWriting hexfile...\nSelected memory: SPI EEPROM"
              "\nNumber of programmed bytes: 17\nPerforming init reset..."
              "\nClose connection...\n\n- - - - - - - - - - - - - - - - - - - - - - - - -\n");
    const Lines frame{"page",         "read&verify off", "label Download", "lamp IN PROGRESS",
                      "clear",        "busy on",         "busy off",       "lamp off",
                      "lamp SUCCESS", "read&verify on"};
    EXPECT_EQ(report.events, frame);
    EXPECT_EQ(report.lastProgress, (std::pair<std::size_t, std::size_t>{2, 2}));
    EXPECT_EQ(Bytes(eeprom().begin(), eeprom().begin() + 18), [&] {
        Bytes b = bytes;
        b.push_back(0xFF);
        return b;
    }());
}

TEST_F(SpiEeprom, VerifyReadsEveryByteWithItsPauses) {
    const Bytes bytes = countingImage(40);
    ASSERT_TRUE(download(bytes)) << report.box;
    clearWire();
    report.events.clear();
    ASSERT_TRUE(verifySpiEeprom(link, image)) << report.box;

    const Lines lines = wire();
    const std::size_t start = find(out(0x53, 0x03));
    ASSERT_LT(start + 43, lines.size());
    EXPECT_EQ(lines[start - 1], out(0x00, 0x3C, "0B 2A 0A"));
    EXPECT_EQ(pauseAfter(start - 1), 100ms);
    EXPECT_EQ(lines[start + 1], out(0x52, 0x00));
    EXPECT_EQ(lines[start + 2], out(0x52, 0x00));
    EXPECT_EQ(pauseAfter(start), 2ms);
    EXPECT_EQ(pauseAfter(start + 1), 1ms);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char reply[40];
        std::snprintf(reply, sizeof reply, "IN B0 0050 0000 len 1 [%02X]", bytes[i]);
        EXPECT_EQ(lines[start + 3 + i], reply);
        EXPECT_EQ(pauseAfter(start + 2 + i), 1ms);
    }
    EXPECT_EQ(lines[start + 43], out(0x54));
    EXPECT_EQ(pauseAfter(start + 43), 100ms);
    EXPECT_EQ(lines[start + 44], out(0xC0));

    EXPECT_NE(report.box.find("\nSelected memory: SPI EEPROM"), std::string::npos);
    EXPECT_NE(report.box.find("\nCommunication check......OK\nVerifying in progress..."
                              "\nNumber of verified bytes: 40\nPerforming init reset..."),
              std::string::npos)
        << report.box;
    EXPECT_TRUE(report.box.ends_with("\nRead & verify was successful. Download was successful."
                                     "\n\n- - - - - - - - - - - - - - - - - - - - - - - - -\n"));
    EXPECT_EQ(report.events.front(), "page");
    EXPECT_EQ(report.events[1], "label Read & Verify");
    EXPECT_EQ(report.events.back(), "verify failed hidden");
    EXPECT_EQ(report.lastLamp(), "SUCCESS");
}

// Drops the host's 6 ms pauses, as a careless download would.
struct ClockWithoutPagePause final : kz71::Clock {
    explicit ClockWithoutPagePause(kz71::Clock& inner) : inner(inner) {}
    Duration now() const override { return inner.now(); }
    void sleep(Duration length) override {
        if (length != 6ms) inner.sleep(length);
    }
    void spend(Duration length) override { inner.spend(length); }
    kz71::Clock& inner;
};

TEST_F(SpiEeprom, WithoutThePagePauseTheVerifyFails) {
    ClockWithoutPagePause hasty(*clock);
    ProgrammerLink careless{session, report, hasty};
    const Bytes bytes = countingImage(64);
    ASSERT_TRUE(downloadSpiEeprom(careless, image, writeFile("p.hex", hexFileText(bytes))));
    EXPECT_FALSE(verifySpiEeprom(link, image));
    EXPECT_NE(report.box.find("\nNumber of verified bytes: 16"), std::string::npos) << report.box;

    // The same download with its pauses verifies.
    ASSERT_TRUE(download(bytes));
    EXPECT_TRUE(verifySpiEeprom(link, image));
}

TEST_F(SpiEeprom, ACorruptedByteAtAddressFiveVerifiesFiveBytes) {
    ASSERT_TRUE(download(countingImage(32)));
    simulator->faults().corruptRead(sim::Memory::spi_eeprom, 5, 0x01);
    report.events.clear();
    EXPECT_FALSE(verifySpiEeprom(link, image));
    char mismatch[64];
    std::snprintf(mismatch, sizeof mismatch, "\nRead/Verify failed !\n\nexpected: %x, obtained: %x",
                  image.code[5], image.code[5] ^ 1);
    EXPECT_NE(report.box.find(std::string(mismatch) + "\nNumber of verified bytes: 5"),
              std::string::npos)
        << report.box;
    EXPECT_NE(report.box.find("\nRead & verify failed. Please download hexfile again !\n\n- - -"),
              std::string::npos);
    EXPECT_EQ(report.lastLamp(), "FAILED");
    EXPECT_EQ(report.popups(), (Lines{"error 132 Read & verify failed.\nPlease download hexfile "
                                      "again!"}));
    const std::size_t shown =
        std::find(report.events.begin(), report.events.end(), "verify failed shown") -
        report.events.begin();
    EXPECT_LT(shown, report.events.size());
    // The comparison stops at the first difference: the deselect follows the sixth read.
    EXPECT_EQ(count("IN B0 0050"), 6u);
}

TEST_F(SpiEeprom, VerifyBeforeAnyDownloadComparesOneZeroByte) {
    EXPECT_FALSE(verifySpiEeprom(link, image)); // the blank EEPROM holds 0xFF
    EXPECT_NE(report.box.find("\nexpected: 0, obtained: ff\nNumber of verified bytes: 0"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(count("IN B0 0050"), 1u);
}

TEST_F(SpiEeprom, UnpluggedInTheMiddleOfTheDownload) {
    report.onProgress = [&](std::size_t done) {
        if (done == 3) simulator->unplug();
    };
    EXPECT_FALSE(download(countingImage(200)));
    EXPECT_NE(report.box.find("\nProgramming Spi EEPROM failed !\n"
                              "\nNumber of programmed bytes: 200\nPerforming init reset..."
                              "\nExecution of init reset failed !\n"
                              "The connection for the given session has been lost.\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.popups(), (Lines{"error 131 Programming Spi EEPROM failed"}));
    EXPECT_EQ(report.lastLamp(), "FAILED");
    EXPECT_EQ(std::count(report.events.begin(), report.events.end(), "read&verify on"), 0);
    EXPECT_EQ(report.lastProgress.first, 3u); // no page after the failed one
    EXPECT_EQ(session.resourceManager, VI_NULL);
}

TEST_F(SpiEeprom, TimeOutWhileVerifying) {
    ASSERT_TRUE(download(countingImage(16)));
    report.onProgress = [&](std::size_t done) {
        if (done == 4) simulator->faults().failNextTransfers(sim::Failure::timeout);
    };
    EXPECT_FALSE(verifySpiEeprom(link, image));
    char failure[96];
    std::snprintf(failure, sizeof failure,
                  "\nRead/Verify failed !\n\nexpected: %x, obtained: 0Timeout...\n"
                  "\nNumber of verified bytes: 4",
                  image.code[4]);
    EXPECT_NE(report.box.find(failure), std::string::npos) << report.box;
}

TEST_F(SpiEeprom, FailedCommunicationCheckSkipsTheMemoryButNotTheTwoSingleByteWrites) {
    link.chipInterface = {true, 0x33}; // no chip answers there
    EXPECT_FALSE(download(countingImage(16)));
    EXPECT_NE(report.box.find("\nCommunication check......FAILED! Please check connection.\n"
                              "\nClose connection...\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(eeprom()[2], 0x0F);
    EXPECT_EQ(eeprom()[5], 0x00);
    EXPECT_EQ(count(out(0x00, 0x3C, "0B 2A 0A")), 0u);
    EXPECT_EQ(wire().back(), out(0x00, 0xF0, "00 00 00"));
    EXPECT_EQ(report.lastLamp(), "FAILED");
}

TEST_F(SpiEeprom, MissingHexFileWritesNoPage) {
    EXPECT_FALSE(downloadSpiEeprom(link, image, (dir.path() / "none.hex").string()));
    EXPECT_NE(report.box.find("\nSelected memory: SPI EEPROMOpening hexfile failed"
                              "\nReading from hexfile failed !\n\nClose connection...\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.popups(), (Lines{"error 131 Reading from hexfile failed"}));
    EXPECT_EQ(wire().back(), out(0x00, 0x3C, "0B 2A 0A"));
    EXPECT_EQ(std::count(report.events.begin(), report.events.end(), "busy off"), 1);
}

TEST_F(SpiEeprom, NoProgrammerEndsDownloadAndVerifyAsFailed) {
    simulator->unplug();
    EXPECT_FALSE(download(countingImage(4)));
    EXPECT_EQ(report.lastLamp(), "FAILED");
    report.box.clear();
    EXPECT_FALSE(verifySpiEeprom(link, image));
    EXPECT_NE(report.box.find("KZ71 programmer not found!\nRead & Verify failed. It wasn't "
                              "possible to establish an USB connection.\nClose connection...\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.popups().back(),
              "error 132 Read & verify failed.\nPlease download hexfile again!");
    EXPECT_TRUE(wire().empty());
}

} // namespace
