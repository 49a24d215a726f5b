// kz71prog processes meeting faults of the simulated programmer (KZ71_SIM_FAULTS): each ends in
// its failure path with exit status 1, and the next process without the fault works on the
// same chip (its memories kept in KZ71_SIM_STATE). Where a fault strikes is taken from a clean
// run's trace. The programs spend their time in the programmer's real pauses, so the cases,
// each on a chip of its own, run at the same time.
#include "prog_process.h"
#include "scratch_directory.h"
#include "test_programs.h"

#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <vector>

namespace {

const std::string cells = "//\tDownloadable Hex-File for KZ71\r\n\r\n00: 12 \r\n01: 34 \r\n";

// One simulated chip, its files and its state file, in a folder of its own.
struct Chip {
    Chip() {
        dir.write("prog.hex", counting_program_hex);
        dir.write("prog.dbg", counting_program_dbg);
        dir.write("prog.epr", cells);
    }
    ProgResult run(const std::vector<std::string>& arguments, const std::string& faults = "") {
        std::map<std::string, std::string> environment{
            {"KZ71_SIM_STATE", (dir.path() / "state.txt").string()}};
        if (!faults.empty()) environment.emplace("KZ71_SIM_FAULTS", faults);
        return runKz71prog(dir.path().string(), arguments, environment);
    }
    // The index of the first transfer of a clean traced run whose trace line contains `part`.
    std::size_t transferOf(const std::vector<std::string>& arguments, const std::string& part) {
        std::vector<std::string> traced{"--simulator", "--trace"};
        traced.insert(traced.end(), arguments.begin(), arguments.end());
        const ProgResult clean = run(traced);
        EXPECT_EQ(clean.exit_code, 0) << clean.err;
        std::istringstream lines(clean.err);
        std::size_t index = 0;
        for (std::string line; std::getline(lines, line);) {
            if (!line.starts_with("OUT ") && !line.starts_with("IN ")) continue;
            if (line.find(part) != std::string::npos) return index;
            ++index;
        }
        ADD_FAILURE() << "no transfer with " << part << " in:\n" << clean.err;
        return 0;
    }
    ScratchDirectory dir;
};

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

void cablePulledDuringTheDownloadsPages(Chip& chip) {
    const std::vector<std::string> download{"download", "prog.hex"};
    // Five transfers into the first page (after the register write that opens the SPI EEPROM).
    const std::size_t page = chip.transferOf(download, "wValue=0000 wIndex=003C") + 6;
    const ProgResult failed =
        chip.run({"--simulator", "download", "prog.hex"}, "unplug@" + std::to_string(page));
    EXPECT_EQ(failed.exit_code, 1) << failed.out << failed.err;
    EXPECT_TRUE(has(failed.err, "kz71prog: Error 131: Programming Spi EEPROM failed"))
        << failed.err;
    EXPECT_TRUE(has(failed.out, "\nExecution of init reset failed !\n")) << failed.out;
    EXPECT_TRUE(failed.out.ends_with("Download: FAILED\n")) << failed.out;

    const ProgResult again = chip.run({"--simulator", "download", "prog.hex"});
    EXPECT_EQ(again.exit_code, 0) << again.out;
    EXPECT_EQ(chip.run({"--simulator", "verify", "prog.hex"}).exit_code, 0);
}

void corruptedByteFailsTheVerify(Chip& chip) {
    ASSERT_EQ(chip.run({"--simulator", "download", "prog.hex"}).exit_code, 0);
    const ProgResult failed = chip.run({"--simulator", "verify", "prog.hex"}, "corrupt=spi:4:0x01");
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_TRUE(has(failed.out, "\nexpected: f8, obtained: f9\nNumber of verified bytes: 4"))
        << failed.out;
    EXPECT_TRUE(failed.out.ends_with("Read & Verify: FAILED\n")) << failed.out;
    EXPECT_TRUE(has(failed.err, "Error 132")) << failed.err;
    EXPECT_EQ(chip.run({"--simulator", "verify", "prog.hex"}).exit_code, 0);
}

void stalledUserEepromWriteAfterAGoodProgramDownload(Chip& chip) {
    const ProgResult failed =
        chip.run({"--simulator", "download", "prog.hex", "--epr", "prog.epr"}, "stall=0xA1");
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_TRUE(has(failed.out, "\nFailed to write 0x12 at address: 0x0")) << failed.out;
    EXPECT_TRUE(has(failed.err, "Error 133: Writing of user EEPROM hexfile failed")) << failed.err;
    EXPECT_TRUE(failed.out.ends_with("Download: FAILED\n")) << failed.out;
    EXPECT_EQ(chip.run({"--simulator", "download", "prog.hex", "--epr", "prog.epr"}).exit_code, 0);
}

void cablePulledDuringARunToABreakpoint(Chip& chip) {
    ASSERT_EQ(chip.run({"--simulator", "download", "prog.hex"}).exit_code, 0);
    const std::vector<std::string> debug{"debug", "prog.hex", "--break", "prog.asm:8", "--run"};
    const std::size_t step = chip.transferOf(debug, "wValue=0081") + 2;
    std::vector<std::string> arguments{"--simulator"};
    arguments.insert(arguments.end(), debug.begin(), debug.end());
    const ProgResult failed = chip.run(arguments, "unplug@" + std::to_string(step));
    EXPECT_EQ(failed.exit_code, 1) << failed.out << failed.err;
    EXPECT_TRUE(has(failed.err, "kz71prog: Warning 216: Reading debug information failed"))
        << failed.err;
    EXPECT_FALSE(has(failed.out, "STOP ")) << failed.out;

    const ProgResult again = chip.run(arguments);
    EXPECT_EQ(again.exit_code, 0) << again.err;
    EXPECT_TRUE(has(again.out, "STOP breakpoint prog.asm:8 address=0x0010")) << again.out;
}

void timedOutDeviceInfo(Chip& chip) {
    const ProgResult failed = chip.run({"--simulator", "info"}, "timeout=0x21");
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_TRUE(has(failed.out, "Timeout...\n\nThere is no device information available !"))
        << failed.out;
    EXPECT_EQ(chip.run({"--simulator", "info"}).exit_code, 0);
}

void aWrongFaultTextIsToldAndInjectsNothing(Chip& chip) {
    const ProgResult result = chip.run({"--simulator", "info"}, "stall=everything");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_TRUE(has(result.err, "KZ71 simulator: KZ71_SIM_FAULTS: 'stall=everything' is not"))
        << result.err;
}

// Each case with its name, for the messages of a failure.
const std::pair<const char*, void (*)(Chip&)> cases[] = {
    {"CablePulledDuringTheDownloadsPages", cablePulledDuringTheDownloadsPages},
    {"CorruptedByteFailsTheVerify", corruptedByteFailsTheVerify},
    {"StalledUserEepromWriteAfterAGoodProgramDownload",
     stalledUserEepromWriteAfterAGoodProgramDownload},
    {"CablePulledDuringARunToABreakpoint", cablePulledDuringARunToABreakpoint},
    {"TimedOutDeviceInfo", timedOutDeviceInfo},
    {"AWrongFaultTextIsToldAndInjectsNothing", aWrongFaultTextIsToldAndInjectsNothing},
};

TEST(FaultedKz71prog, EachFaultEndsInItsFailurePathAndTheNextRunWorks) {
    std::vector<std::thread> running;
    for (const auto& [name, run] : cases)
        running.emplace_back([name = name, run = run] {
            SCOPED_TRACE(name);
            Chip chip;
            run(chip);
        });
    for (std::thread& thread : running)
        thread.join();
}

} // namespace
