// The fault matrix on the simulated programmer: the cable pulled before every transfer of each
// operation, a stall and a time-out of every command it sends, and corrupted bytes read back.
// The positions and commands come from a clean run's transfer log. Every case must end in the
// operation's failure path (lamp, messages, popups) with the session closed, the number of
// transfers and the virtual time bounded (nothing hung), and the same operation must work again
// once the fault is gone.
#include "fault_bench.h"
#include "link_fixture.h"
#include "programmer/download_commands.h"
#include "programmer/otp_download.h"
#include "programmer/run_control.h"
#include "programmer/spi_eeprom_download.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace faults;
using namespace std::chrono_literals;

// Longer than any operation takes, even with every transfer timing out: a run that ends later
// would have hung.
constexpr auto time_bound = 300s;

struct FaultMatrix : ::testing::Test {
    Files files;

    // The transfers of a clean run, which must succeed.
    std::vector<std::string> cleanRun(const Operation& op) {
        Bench bench(files);
        op.prepare(bench);
        bench.simulator->log().clear();
        EXPECT_TRUE(op.run(bench)) << op.name << ":\n" << everythingTold(bench);
        EXPECT_TRUE(op.tookEffect(bench)) << op.name;
        return bench.wire();
    }

    // What every failing case ends with, then the operation once more without the fault.
    void expectFailurePath(Bench& bench, const Operation& op, bool result,
                           const std::optional<std::string>& expected,
                           kz71::Clock::Duration start) {
        const std::string told = everythingTold(bench);
        EXPECT_FALSE(bench.guard.hung());
        EXPECT_LT(bench.clock->now() - start, time_bound);
        if (!expected) {
            EXPECT_TRUE(result) << told;
            EXPECT_TRUE(op.tookEffect(bench)) << told;
        } else {
            EXPECT_FALSE(result) << told;
            EXPECT_NE(told.find(*expected), std::string::npos)
                << "expected \"" << *expected << "\" in:\n"
                << told;
            for (const std::string& text : op.alwaysOnFailure)
                EXPECT_NE(told.find(text), std::string::npos) << text << " in:\n" << told;
            if (op.usesLamp) {
                EXPECT_EQ(bench.report.lastLamp(), "FAILED") << told;
            }
        }
        if (op.usesLamp) {
            EXPECT_TRUE(bench.sessionClosed()) << told;
        } else {
            // The debugger holds the session exactly while debug mode is active.
            EXPECT_EQ(bench.debugModeActive(), !bench.sessionClosed()) << told;
        }
        bench.repair();
        bench.report = RecordingReport{};
        EXPECT_TRUE(op.run(bench)) << "again after the fault:\n" << everythingTold(bench);
        EXPECT_TRUE(op.tookEffect(bench));
    }
};

TEST_F(FaultMatrix, TheCablePulledBeforeEveryTransfer) {
    for (const Operation& op : operations()) {
        const std::vector<std::string> clean = cleanRun(op);
        ASSERT_FALSE(clean.empty()) << op.name;
        for (std::size_t position = 0; position < clean.size(); ++position) {
            SCOPED_TRACE(std::string(op.name) + ", cable pulled before transfer " +
                         std::to_string(position) + ": " + clean[position]);
            Bench bench(files);
            op.prepare(bench);
            bench.faults().pullCableAfter(position);
            const auto start = bench.clock->now();
            const bool result = op.run(bench);
            const auto expected = expectedFailure(op, clean, position, true);
            ASSERT_TRUE(expected) << "an unplugged cable must fail the operation";
            expectFailurePath(bench, op, result, expected, start);
        }
    }
}

TEST_F(FaultMatrix, AStallAndATimeOutOfEveryCommand) {
    for (const Operation& op : operations()) {
        const std::vector<std::string> clean = cleanRun(op);
        std::vector<std::string> kinds;
        for (std::size_t position = 0; position < clean.size(); ++position) {
            const std::string kind = kindOf(clean[position]);
            if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) continue;
            kinds.push_back(kind);
            const auto command =
                static_cast<std::uint16_t>(std::stoul(kind.substr(kind.size() - 4), nullptr, 16));
            for (const sim::Failure failure : {sim::Failure::stall, sim::Failure::timeout}) {
                const bool timeout = failure == sim::Failure::timeout;
                SCOPED_TRACE(std::string(op.name) + ", every " + kind +
                             (timeout ? " timed out" : " stalled"));
                Bench bench(files);
                op.prepare(bench);
                bench.faults().failCommand(command, failure);
                const auto start = bench.clock->now();
                const bool result = op.run(bench);
                const auto expected = expectedFailure(op, clean, position, false);
                if (timeout) {
                    EXPECT_GE(bench.clock->now() - start, 2s); // VISA's time-out passed
                }
                if (timeout) {
                    // A time-out the messages report reads "Timeout...".
                    EXPECT_EQ(bench.report.box.find("Timeout expired"), std::string::npos)
                        << bench.report.box;
                }
                expectFailurePath(bench, op, result, expected, start);
            }
        }
    }
}

// A byte read back wrong: the operation that reads it fails and says where, and works again
// once the memory reads right.
struct Corruption {
    const char* name;
    std::function<void(Bench&)> prepare;
    sim::Memory memory;
    std::uint32_t address;
    std::uint32_t mask;
    std::function<bool(Bench&)> run;
    std::vector<std::string> told;
};

const Bytes spi_image = countingImage(17);

void downloadForVerify(Bench& b, bool otp) {
    if (otp) {
        ASSERT_TRUE(programmer::downloadOtp(b.link, b.image, b.files.otpHex, false));
    } else {
        b.putIntoChip(b.files.hex);
        ASSERT_EQ(programmer::loadHexImage(b.link, b.image, b.files.hex), 0);
    }
    b.report = RecordingReport{};
}

std::string expectedObtained(std::uint8_t expected, std::uint8_t obtained) {
    char text[48];
    std::snprintf(text, sizeof text, "\nexpected: %x, obtained: %x", expected, obtained);
    return text;
}

const Corruption corruptions[] = {
    {"SpiEepromByteFailsTheVerifyThere",
     [](Bench& b) { downloadForVerify(b, false); },
     sim::Memory::spi_eeprom,
     5,
     0x01,
     [](Bench& b) { return programmer::verifySpiEeprom(b.link, b.image); },
     {"\nRead/Verify failed !\n", expectedObtained(spi_image[5], spi_image[5] ^ 0x01),
      "\nNumber of verified bytes: 5", "lamp FAILED", "verify failed shown",
      "error 132 Read & verify failed.\nPlease download hexfile again!"}},
    {"OtpByteFailsTheVerifyThere",
     [](Bench& b) { downloadForVerify(b, true); },
     sim::Memory::otp,
     3,
     0x80,
     [](Bench& b) { return programmer::verifyOtp(b.link, b.image); },
     {"\nRead/Verify failed !\n", "\nNumber of verified bytes: 3", "lamp FAILED",
      "error 132 Read & verify failed."}},
    {"OtpSecondCopyFailsTheVerifyInBlock1",
     [](Bench& b) { downloadForVerify(b, true); },
     sim::Memory::otp,
     0x1000 + 3,
     0x80,
     [](Bench& b) { return programmer::verifyOtp(b.link, b.image); },
     {"\nRead/Verify failed, block 1 in Redundancy Mode !\n", "\nNumber of verified bytes: 3",
      "lamp FAILED"}},
    {"CommunicationCheckFailsTheDownloadBeforeAnyPage",
     [](Bench&) {},
     sim::Memory::registers,
     wire::reg_scratch,
     0x000001,
     [](Bench& b) { return programmer::downloadSpiEeprom(b.link, b.image, b.files.hex); },
     {"...FAILED! Please check connection.\n", "lamp FAILED"}},
    {"ProgramMemoryWordAbortsTheDebugRun",
     [](Bench& b) {
         b.putIntoChip(b.files.longHex);
         b.loadProgram(b.files.longHex, b.files.longDbg, 0);
     },
     sim::Memory::program_memory,
     10,
     0x01,
     [](Bench& b) {
         return programmer::runToBreakpoint(b.debugger()).reason != programmer::StopReason::failed;
     },
     {"warning 219 Aborted debugging process. Possible reasons are:\n- the downloaded hexfile is "
      "not the same you are trying to debug"}},
};

TEST_F(FaultMatrix, ACorruptedByteReadBack) {
    for (const Corruption& c : corruptions) {
        SCOPED_TRACE(c.name);
        Bench bench(files);
        c.prepare(bench);
        bench.faults().corruptRead(c.memory, c.address, c.mask);
        EXPECT_FALSE(c.run(bench));
        const std::string told = everythingTold(bench);
        for (const std::string& text : c.told)
            EXPECT_NE(told.find(text), std::string::npos) << text << " in:\n" << told;
        EXPECT_TRUE(bench.sessionClosed());
        EXPECT_FALSE(bench.debugModeActive());
        bench.repair();
        EXPECT_TRUE(c.run(bench)) << everythingTold(bench);
    }
}

} // namespace
