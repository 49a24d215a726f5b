// The OTP download and read & verify: programming voltage and enables, one write per byte, the
// redundancy copy, the read-protect byte, and the switch-off commands on every path.
#include "link_fixture.h"
#include "programmer/otp_download.h"

#include <cstdio>

namespace {

using namespace programmer;

std::string otpWrite(int address, int value) {
    char data[4];
    std::snprintf(data, sizeof data, "%02X", value);
    return out(0xA7, address, data);
}

struct Otp : LinkTest {
    bool download(const Bytes& bytes, bool readProtect = false) {
        return downloadOtp(link, image, writeFile("prog.hex", hexFileText(bytes)), readProtect);
    }
    // The image of the tests: 40 bytes, byte 38 carrying the mode bits.
    static Bytes program(std::uint8_t mode) {
        Bytes bytes = countingImage(40);
        bytes[38] = mode;
        return bytes;
    }
    // The transfers from VPP on to the end.
    Lines programming() const {
        const Lines lines = wire();
        return Lines(lines.begin() + static_cast<long>(find(out(0x23))), lines.end());
    }
    DownloadImage image;
};

TEST_F(Otp, OneWritePerByteBetweenTheSwitches) {
    const Bytes bytes = program(0x02);
    ASSERT_TRUE(download(bytes)) << report.box;
    Lines expected{out(0x23), out(0xA9), out(0xAD)};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        expected.push_back(otpWrite(static_cast<int>(i), bytes[i]));
    for (const int command : {0xAC, 0xA8, 0x22, 0xF0, 0xC0})
        expected.push_back(out(command));
    EXPECT_EQ(programming(), expected);

    const std::size_t vpp = find(out(0x23));
    EXPECT_EQ(pauseAfter(vpp), 1000ms);
    EXPECT_EQ(pauseAfter(vpp + 1), 1ms);
    EXPECT_EQ(pauseAfter(vpp + 2), 1ms);
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        EXPECT_EQ(pauseAfter(vpp + 3 + i), 0ms);
    const std::size_t off = find(out(0xAC));
    EXPECT_EQ(pauseAfter(off), 1ms);
    EXPECT_EQ(pauseAfter(off + 1), 1ms);
    EXPECT_EQ(pauseAfter(off + 2), 1000ms);
    // Before: power reset, 100 ms, init reset, 30 ms, the check.
    EXPECT_EQ(wire().at(1), out(0xF0));
    EXPECT_EQ(pauseAfter(1), 100ms);
    EXPECT_EQ(pauseAfter(2), 30ms);

    EXPECT_EQ(report.box.find("Redundancy"), std::string::npos);
    EXPECT_NE(report.box.find("\nPerforming power reset...\nPerforming init reset..."
                              "\nCommunication check......OK.\nDownload in progress..."
                              "\nWriting hexfile...\nSelected memory: OTP"
                              "\nWarning: Read Protect option not selected !\n"
                              "\nNumber of programmed bytes: 40\nPerforming power reset..."
                              "\nPerforming init reset...\nClose connection...\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.lastLamp(), "SUCCESS");
    EXPECT_EQ(report.events.back(), "read&verify on");

    EXPECT_TRUE(verifyOtp(link, image)) << report.box;
}

TEST_F(Otp, RedundancyModeWritesASecondCopyThenTheReadProtectByte) {
    const Bytes bytes = program(0x03);
    ASSERT_TRUE(download(bytes, true)) << report.box;
    const Lines lines = programming();
    EXPECT_EQ(lines.at(3 + 40), otpWrite(0x1000, bytes[0]));
    EXPECT_EQ(lines.at(3 + 79), otpWrite(0x1000 + 39, bytes[39]));
    EXPECT_EQ(lines.at(3 + 80), otpWrite(0x1FCF, 0xFF));
    EXPECT_EQ(lines.at(3 + 81), out(0xAC));
    EXPECT_NE(report.box.find("\nRedundancy Mode selected\n\nRead Protect option selected\n"),
              std::string::npos);
    EXPECT_EQ(report.lastProgress, (std::pair<std::size_t, std::size_t>{81, 81}));
    // Read protected: the OTP no longer reads back.
    EXPECT_FALSE(verifyOtp(link, image));
}

TEST_F(Otp, VerifyReadsBothBlocksAndNamesTheFailingCopy) {
    const Bytes bytes = program(0x03);
    ASSERT_TRUE(download(bytes));
    clearWire();
    ASSERT_TRUE(verifyOtp(link, image)) << report.box;
    const std::size_t setup = find(out(0xA9));
    EXPECT_EQ(wire().at(setup + 1), out(0xAE));
    EXPECT_EQ(wire().at(setup + 2), out(0xAC));
    EXPECT_EQ(wire().at(setup + 3).substr(0, 22), "IN B0 00A6 1FCF len 1 ");
    EXPECT_EQ(wire().at(setup + 4).substr(0, 22), "IN B0 00A6 0000 len 1 ");
    EXPECT_EQ(wire().at(setup + 5).substr(0, 22), "IN B0 00A6 1000 len 1 ");
    EXPECT_NE(report.box.find("\nSelected memory: OTP"), std::string::npos);
    EXPECT_NE(report.box.find("\nNumber of verified bytes: 40"), std::string::npos);

    simulator->faults().corruptRead(sim::Memory::otp, 0x1000 + 3, 0x01);
    report.box.clear();
    EXPECT_FALSE(verifyOtp(link, image));
    EXPECT_NE(report.box.find("\nRead/Verify failed, block 1 in Redundancy Mode !\n"
                              "\nNumber of verified bytes: 3"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.popups().back(),
              "error 132 Read & verify failed.\nPlease download hexfile again!");

    simulator->faults().clear();
    simulator->faults().corruptRead(sim::Memory::otp, 7, 0x80);
    report.box.clear();
    EXPECT_FALSE(verifyOtp(link, image));
    EXPECT_NE(report.box.find("\nRead/Verify failed !\n\nNumber of verified bytes: 7"),
              std::string::npos);
}

TEST_F(Otp, MissingHexFileSwitchesNothingOn) {
    EXPECT_FALSE(downloadOtp(link, image, (dir.path() / "none.hex").string(), false));
    EXPECT_NE(report.box.find("Opening hexfile failed\nReading from hexfile failed !\n"),
              std::string::npos);
    EXPECT_EQ(count(out(0x23)), 0u);
    EXPECT_EQ(count("OUT B0 00A7"), 0u);
    EXPECT_EQ(wire().back(), out(0x00, 0xF0, "00 00 00")); // the check was the last thing sent
    EXPECT_EQ(report.popups(), (Lines{"error 131 Reading from hexfile failed"}));
    EXPECT_EQ(report.lastLamp(), "FAILED");
}

TEST_F(Otp, AFailedSwitchOnSkipsTheWritesButNotTheSwitchOff) {
    simulator->faults().failCommand(wire::enable_otp_programming, sim::Failure::stall);
    EXPECT_FALSE(download(program(0)));
    EXPECT_EQ(programming(), (Lines{out(0x23), out(0xA9), out(0xAD) + " stalled", out(0xAC),
                                    out(0xA8), out(0x22), out(0xF0), out(0xC0)}));
    EXPECT_NE(report.box.find("\nEnable OTP Programming failed !\n"
                              "\nNumber of programmed bytes: 40"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.popups(), (Lines{"error 131 Enable OTP Programming failed"}));

    simulator->faults().clear();
    simulator->faults().failCommand(wire::vpp_otp_on, sim::Failure::stall);
    report.events.clear();
    EXPECT_FALSE(download(program(0)));
    EXPECT_EQ(report.popups(), (Lines{"error 131 Switching on VPP_OTP failed"}));
    EXPECT_EQ(count("OUT B0 00A9"), 1u) << "only the first download enabled the OTP";
}

TEST_F(Otp, FailedWritesAreJudgedOnceAfterAllOfThem) {
    report.onProgress = [&](std::size_t done) {
        if (done == 5) simulator->faults().failNextTransfers(sim::Failure::stall);
    };
    EXPECT_FALSE(download(program(0), true));
    EXPECT_EQ(count("OUT B0 00A7"), 41u); // every byte and the read-protect byte
    EXPECT_NE(report.box.find("\nRead Protect option selected\n\nOTP Programming failed !\n"),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.popups(), (Lines{"error 131 OTP Programming failed"}));
}

TEST_F(Otp, FinalResetFailures) {
    report.onProgress = [&](std::size_t done) {
        if (done == 40) simulator->faults().failCommand(wire::power_reset, sim::Failure::stall);
    };
    EXPECT_FALSE(download(program(0)));
    EXPECT_NE(report.box.find("\nPerforming power reset...\nExecution of power reset failed !\n"
                              "Could not perform operation because of I/O error.\n"
                              "\nPerforming init reset...\nClose connection..."),
              std::string::npos)
        << report.box;
    EXPECT_EQ(report.lastLamp(), "FAILED");
}

} // namespace
