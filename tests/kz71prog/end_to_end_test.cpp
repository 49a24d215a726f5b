// kz71prog on the simulated programmer, one process per command as on a production line: the
// memories live in the KZ71_SIM_STATE file between runs.
#include "prog_process.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace {

const std::string header = "//---------------------------------------------------------------\r\n"
                           "//\tDownloadable Hex-File for KZ71\r\n"
                           "//---------------------------------------------------------------\r\n"
                           "\r\n";
const std::string program = header + "0000: 70 00\t//--- 0: a;  b;\r\n"
                                     "0002: 00 05\t//--- 2: c;  d;\r\n"
                                     "0004: F8 10\t//--- 4: e;  f;\r\n"
                                     "0006: FA CD\t//--- 6: g;  h;\r\n\r\n\r\n";
const std::string other_program = header + "0000: 70 00\r\n0002: 00 06\r\n";
const std::string user_cells = header + "00: 12 \r\n01: 34 \r\n\r\n\r\n";

struct Kz71prog : ::testing::Test {
    void SetUp() override {
        dir.write("prog.hex", program);
        dir.write("other.hex", other_program);
        dir.write("prog.epr", user_cells);
    }
    ProgResult run(const std::vector<std::string>& arguments,
                   std::map<std::string, std::string> environment = {}) {
        environment.emplace("KZ71_SIM_STATE", state());
        return runKz71prog(dir.path().string(), arguments, environment);
    }
    std::string state() const { return (dir.path() / "state.txt").string(); }
    static std::size_t occurrences(const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }
    ScratchDirectory dir;
};

TEST_F(Kz71prog, DownloadThenVerifyInSeparateProcesses) {
    const ProgResult download = run({"--simulator", "download", "prog.hex", "--epr", "prog.epr"});
    EXPECT_EQ(download.exit_code, 0) << download.out << download.err;
    EXPECT_EQ(occurrences(download.out, "Download: SUCCESS\n"), 2u);
    EXPECT_NE(download.out.find("\nNumber of programmed bytes: 8\n"), std::string::npos);
    EXPECT_NE(download.out.find("\nNumber of programmed user EEPROM bytes: 128\n"),
              std::string::npos);
    EXPECT_NE(download.out.find("  0x12 0x34 0x00"), std::string::npos); // the table
    EXPECT_NE(read_whole_file(state()).find("0000: 70 00 00 05 F8 10 FA CD FF"), std::string::npos);

    const ProgResult verify = run({"--simulator", "verify", "prog.hex"});
    EXPECT_EQ(verify.exit_code, 0) << verify.out << verify.err;
    EXPECT_NE(verify.out.find("\nRead & verify was successful. Download was successful.\n"),
              std::string::npos);
    EXPECT_TRUE(verify.out.ends_with("Read & Verify: SUCCESS\n"));
    EXPECT_EQ(verify.err, "");

    const ProgResult differs = run({"--simulator", "verify", "other.hex"});
    EXPECT_EQ(differs.exit_code, 1);
    EXPECT_NE(differs.out.find("\nexpected: 6, obtained: 5\nNumber of verified bytes: 3"),
              std::string::npos)
        << differs.out;
    EXPECT_TRUE(differs.out.ends_with("Read & Verify: FAILED\n"));
    EXPECT_EQ(differs.err,
              "kz71prog: Error 132: Read & verify failed. Please download hexfile again!\n");
}

TEST_F(Kz71prog, TraceLinesForEveryTransferAndPause) {
    const ProgResult result = run({"--simulator", "--trace", "download", "prog.hex"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const std::regex transfer("(OUT 40 B0 wValue=[0-9A-F]{4} wIndex=[0-9A-F]{4}|"
                              "IN C0 B0 wValue=[0-9A-F]{4} wIndex=[0-9A-F]{4} wLength=[0-9]+) "
                              "data=(-|[0-9A-F]{2}( [0-9A-F]{2})*) status=-?[0-9]+");
    const std::regex pause("WAIT [0-9]+ ms");
    std::istringstream lines(result.err);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(std::regex_match(line, transfer) || std::regex_match(line, pause)) << line;
        all.push_back(line);
    }
    const auto has = [&](const std::string& line) {
        return std::find(all.begin(), all.end(), line) != all.end();
    };
    EXPECT_TRUE(has("OUT 40 B0 wValue=0055 wIndex=0000 data=- status=0"));
    EXPECT_TRUE(has("IN C0 B0 wValue=0040 wIndex=00F0 wLength=3 data=AA 55 66 status=0"));
    EXPECT_TRUE(has("OUT 40 B0 wValue=0052 wIndex=00CD data=- status=0"));
    EXPECT_TRUE(has("WAIT 6 ms"));
    EXPECT_TRUE(has("WAIT 100 ms"));
    // The trace shows what was sent in order: the page pause follows the page's deselect.
    const auto page = std::find(all.begin(), all.end(), "WAIT 6 ms");
    EXPECT_EQ(*(page - 1), "OUT 40 B0 wValue=0054 wIndex=0000 data=- status=0");
}

TEST_F(Kz71prog, OtpNeedsYesWithoutATerminal) {
    const ProgResult refused = run({"--simulator", "download", "prog.hex", "--memory", "otp"});
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_NE(refused.err.find("give --yes"), std::string::npos);
    EXPECT_EQ(refused.out, "");

    const ProgResult burnt =
        run({"--simulator", "download", "prog.hex", "--memory", "otp", "--yes", "--read-protect"});
    EXPECT_EQ(burnt.exit_code, 0) << burnt.out << burnt.err;
    EXPECT_NE(burnt.err.find("kz71prog: Warning 998: By activating Read Protect"),
              std::string::npos);
    EXPECT_NE(burnt.err.find("Warning: Warning: any change to the OTP content is permanent, do "
                             "you want to continue? [y/N] yes (--yes)"),
              std::string::npos)
        << burnt.err;
    EXPECT_NE(burnt.out.find("\nRead Protect option selected\n"), std::string::npos);
    // Protected from reading: the verify in the next process fails.
    const ProgResult verify = run({"--simulator", "verify", "prog.hex", "--memory", "otp"});
    EXPECT_EQ(verify.exit_code, 1);
}

TEST_F(Kz71prog, ListInfoAndTheBackendChoice) {
    const ProgResult list = run({"--simulator", "list"});
    EXPECT_EQ(list.exit_code, 0);
    EXPECT_EQ(list.out, "USB0::0x194E::0x100F::KZ71SIM0001::RAW\n");

    const ProgResult info = run({"info"}, {{"KZ71_PROGRAMMER", "sim"}});
    EXPECT_EQ(info.exit_code, 0);
    EXPECT_NE(info.out.find("\nFirmware version: 1\n"), std::string::npos);

    // The environment has the last word over --simulator; an unknown backend is refused with
    // the list of the known ones, before anything is sent.
    const ProgResult none = run({"--simulator", "list"}, {{"KZ71_PROGRAMMER", "nothing"}});
    EXPECT_EQ(none.exit_code, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("unknown programmer backend 'nothing'"), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("(known: sim, usb)"), std::string::npos) << none.err;
    const ProgResult noInfo = run({"info"}, {{"KZ71_PROGRAMMER", "nothing"}});
    EXPECT_EQ(noInfo.exit_code, 2);
    EXPECT_EQ(noInfo.out, "");

    const ProgResult wrongDevice =
        run({"--simulator", "--device", "USB0::0x194E::0x100F::NONE::RAW", "info"});
    EXPECT_EQ(wrongDevice.exit_code, 1);
    EXPECT_NE(wrongDevice.out.find("KZ71 programmer not found!"), std::string::npos);

    const ProgResult iic = run({"--simulator", "--iic", "0x20", "download", "prog.hex"});
    EXPECT_EQ(iic.exit_code, 0) << iic.out;
    EXPECT_NE(iic.out.find("using IIC interface"), std::string::npos);
    const ProgResult wrongIic = run({"--simulator", "--iic", "0x21", "download", "prog.hex"});
    EXPECT_EQ(wrongIic.exit_code, 1);
    EXPECT_NE(wrongIic.out.find("...FAILED! Please check connection."), std::string::npos);
}

TEST_F(Kz71prog, UsageErrorsSendNothing) {
    const std::vector<std::vector<std::string>> wrong{
        {},
        {"--simulator"},
        {"--bogus", "list"},
        {"--simulator", "flash", "prog.hex"},
        {"--simulator", "download"},
        {"--simulator", "download", "prog.hex", "extra.hex"},
        {"--simulator", "download", "prog.hex", "--memory", "flash"},
        {"--simulator", "download", "prog.hex", "--read-protect"},
        {"--simulator", "download", "prog.hex", "--epr"},
        {"--simulator", "download", "prog.hex", "--epr", "missing.epr"},
        {"--simulator", "download", "/dev/zero"},
        {"--simulator", "verify", "prog.hex", "--yes"},
        {"--simulator", "--iic", "twenty", "info"},
        {"--simulator", "--device"},
    };
    for (const auto& arguments : wrong) {
        const ProgResult result = run(arguments);
        std::string line;
        for (const auto& a : arguments)
            line += a + " ";
        EXPECT_EQ(result.exit_code, 2) << line;
        EXPECT_EQ(result.out, "") << line;
        EXPECT_TRUE(result.err.starts_with("kz71prog: ")) << line << result.err;
    }
    EXPECT_FALSE(dir.exists("state.txt")); // no session was ever opened

    const ProgResult help = run({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: kz71prog [--simulator] [--trace] [--device "
                                     "RESOURCE] [--iic ADDRESS] COMMAND\n"));
    const ProgResult version = run({"-v"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out, "kz71prog 2.0\n");
}

} // namespace
