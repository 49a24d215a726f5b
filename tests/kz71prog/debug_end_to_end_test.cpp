// kz71prog debug on the simulated programmer: programs assembled with tarn, downloaded by one
// kz71prog process and debugged by the next, the chip's memories kept in KZ71_SIM_STATE.
#include "prog_process.h"
#include "scratch_directory.h"
#include "tarn_process.h"
#include "test_programs.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string& counting = counting_program;

struct DebugCommand : ::testing::Test {
    // Assembles prog.asm and downloads prog.hex into the simulated chip.
    void downloaded(const std::string& source) {
        dir.write("prog.asm", source);
        const TarnResult tarn = run_tarn_binary(dir.path(), {"prog.asm"});
        ASSERT_NE(tarn.out.find("Processing was successful"), std::string::npos) << tarn.out;
        const ProgResult download = run({"--simulator", "download", "prog.hex"});
        ASSERT_EQ(download.exit_code, 0) << download.out << download.err;
    }
    ProgResult run(const std::vector<std::string>& arguments) {
        return runKz71prog(dir.path().string(), arguments,
                           {{"KZ71_SIM_STATE", (dir.path() / "state.txt").string()}});
    }
    ProgResult debug(const std::vector<std::string>& actions) {
        std::vector<std::string> arguments{"--simulator", "debug", "prog.hex"};
        arguments.insert(arguments.end(), actions.begin(), actions.end());
        return run(arguments);
    }
    // The STOP lines of the output.
    static std::vector<std::string> stops(const std::string& out) {
        std::vector<std::string> lines;
        std::istringstream text(out);
        for (std::string line; std::getline(text, line);)
            if (line.starts_with("STOP ")) lines.push_back(line);
        return lines;
    }
    ScratchDirectory dir;
};

TEST_F(DebugCommand, RunActionsPrintWhereTheChipStopped) {
    downloaded(counting);
    const ProgResult result =
        debug({"--step", "1", "--break", "prog.asm:8", "--run", "--run", "--new-cycle", "--run-to",
               "prog.asm:5", "--reset", "--step", "3"});
    EXPECT_EQ(result.exit_code, 0) << result.out << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(stops(result.out),
              (std::vector<std::string>{
                  "STOP step prog.asm:3 address=0x0004 signum=0 notequal=1 overflow=0 carry=0 "
                  "X=0x000005 Y=0x000000 Z=0x000000 HB0=0x000000 ram=0x00:0x000000",
                  "STOP breakpoint prog.asm:8 address=0x0010 signum=0 notequal=0 overflow=0 "
                  "carry=0 X=0x000006 Y=0x000003 Z=0x000003 HB0=0x000000 ram=0x00:0x000000",
                  "STOP end prog.asm:9 address=0x0014 signum=0 notequal=1 overflow=0 carry=0 "
                  "X=0x000006 Y=0x000003 Z=0x000003 HB0=0x000000 ram=0x00:0x000009",
                  // The new cycle cleared the breakpoint and every register.
                  "STOP cursor prog.asm:5 address=0x0009 signum=0 notequal=1 overflow=0 carry=0 "
                  "X=0x000006 Y=0x000003 Z=0x000000 HB0=0x000000 ram=0x00:0x000000",
                  "STOP step prog.asm:5 address=0x0009 signum=0 notequal=1 overflow=0 carry=0 "
                  "X=0x000006 Y=0x000003 Z=0x000000 HB0=0x000000 ram=0x00:0x000000"}));
}

TEST_F(DebugCommand, ABreakpointBeforeTheFirstRunHoldsAndResetsCauseNoFalseStall) {
    downloaded(counting);
    // The first step of each run ends at 0x0004, where the step before the reset ended.
    const ProgResult result =
        debug({"--break", "prog.asm:8", "--step", "1", "--reset", "--run", "--step", "1",
               "--new-cycle", "--step", "1", "--new-cycle", "--run"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    const std::vector<std::string> lines = stops(result.out);
    ASSERT_EQ(lines.size(), 5u) << result.out;
    EXPECT_TRUE(lines[1].starts_with("STOP breakpoint prog.asm:8 address=0x0010")) << lines[1];
    EXPECT_TRUE(lines[3].starts_with("STOP step prog.asm:3 address=0x0004")) << lines[3];
    EXPECT_TRUE(lines[4].starts_with("STOP end prog.asm:9 address=0x0014")) << lines[4];
}

TEST_F(DebugCommand, AnOddSizedProgramEndsOnItsStop) {
    downloaded("\tmove x, 5\n\tstop\n");
    const ProgResult result = debug({"--step", "5"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(stops(result.out),
              std::vector<std::string>{"STOP end prog.asm:2 address=0x0004 signum=0 notequal=1 "
                                       "overflow=0 carry=0 X=0x000005 Y=0x000000 Z=0x000000 "
                                       "HB0=0x000000 ram=0x00:0x000000"});
    EXPECT_EQ(result.err,
              "kz71prog: Info 218: Reached end of file (EOF) Debugging pass completed\n");
}

TEST_F(DebugCommand, TheRamTableAndTheTrace) {
    downloaded(counting);
    const ProgResult result =
        run({"--simulator", "--trace", "debug", "prog.hex", "--run", "--ram"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_NE(result.out.find("\n0x00: 0x000009 0x000000 "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\n0x40: -------- --------"), std::string::npos);
    EXPECT_NE(result.out.find(" 0x000000 -------- -------- -------- --------\n0x60:"),
              std::string::npos);
    EXPECT_NE(result.err.find("OUT 40 B0 wValue=0089 wIndex=0000 data=- status=0\n"),
              std::string::npos);
    EXPECT_NE(result.err.find("IN C0 B0 wValue=0081 wIndex=0047 wLength=3 data=40 00 04 "
                              "status=0\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("WAIT 300 ms\n"), std::string::npos);
}

TEST_F(DebugCommand, ActionsThatCannotBeCarriedOutFailTheCommand) {
    downloaded(counting);
    // A comment line is no hold point: the message, and the actions after it do not run.
    const ProgResult comment = debug({"--break", "prog.asm:1", "--run"});
    EXPECT_EQ(comment.exit_code, 1);
    EXPECT_TRUE(stops(comment.out).empty());
    EXPECT_TRUE(comment.err.starts_with("kz71prog: Info 224: Selected line is not valid as a "
                                        "debug hold point. "))
        << comment.err;

    // Another program in the chip: the first run is aborted.
    std::string longer;
    for (int i = 0; i < 20; ++i)
        longer += "\tmove y, " + std::to_string(i) + "\n";
    dir.write("prog.asm", longer + "\tstop\n");
    run_tarn_binary(dir.path(), {"prog.asm"});
    const ProgResult other = debug({"--run"});
    EXPECT_EQ(other.exit_code, 1);
    EXPECT_NE(other.err.find("kz71prog: Warning 219: Aborted debugging process. Possible "
                             "reasons are: - the downloaded hexfile is not the same"),
              std::string::npos)
        << other.err;
}

TEST_F(DebugCommand, Clk10khzAndAStaleBuildAreTold) {
    downloaded("\tclk10khz 1\n\tincr x\n\tmove y, 1\n\tstop\n");
    const ProgResult clock = debug({"--step", "1"});
    EXPECT_EQ(clock.exit_code, 1);
    EXPECT_NE(clock.err.find("kz71prog: Warning 227: Opcode 'clk10khz' was detected."),
              std::string::npos)
        << clock.err;

    downloaded(counting);
    const auto built = std::filesystem::last_write_time(dir.path() / "prog.dbg");
    std::filesystem::last_write_time(dir.path() / "prog.asm", built + std::chrono::seconds(5));
    const ProgResult stale = debug({"--step", "1", "--step", "1"});
    EXPECT_EQ(stale.exit_code, 0);
    EXPECT_EQ(stops(stale.out).size(), 2u);
    // The files as tarn named them, relative to where it ran.
    EXPECT_EQ(stale.err, "kz71prog: Info 229: The source file prog.asm is newer than the debug "
                         "file prog.dbg  The highlighted lines may not match the program. Please "
                         "compile and download again.\n");
}

TEST_F(DebugCommand, UsageErrorsSendNothing) {
    dir.write("prog.asm", counting);
    run_tarn_binary(dir.path(), {"prog.asm"});
    dir.write("lone.hex", dir.read("prog.hex"));
    const std::vector<std::vector<std::string>> wrong{
        {"--break", "other.asm:3"}, // not a source file of the program
        {"--break", "prog.asm"},
        {"--break", "prog.asm:0"},
        {"--run-to", ":4"},
        {"--step", "0"},
        {"--step", "many"},
        {"--step"},
        {"--jump"},
    };
    for (const auto& actions : wrong) {
        const ProgResult result = debug(actions);
        EXPECT_EQ(result.exit_code, 2) << actions[0];
        EXPECT_EQ(result.out, "") << actions[0];
        EXPECT_TRUE(result.err.starts_with("kz71prog: ")) << result.err;
    }
    const ProgResult noDbg = run({"--simulator", "debug", "lone.hex", "--run"});
    EXPECT_EQ(noDbg.exit_code, 2);
    EXPECT_NE(noDbg.err.find("lone.dbg"), std::string::npos);
    EXPECT_FALSE(dir.exists("state.txt")); // no session was ever opened
}

} // namespace
