// kz71prog's command line and console: what a user or a script sees on each stream.
#include "command_line.h"
#include "console_report.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace kz71prog;

TEST(CommandLine, OptionsBeforeTheCommandArgumentsAfterIt) {
    std::string error;
    const std::vector<std::string> args{"--trace",  "--iic", "0x20",     "--device", "USB0::X::RAW",
                                        "download", "p.hex", "--memory", "otp",      "--yes"};
    const auto line = parseCommandLine(args, error);
    ASSERT_TRUE(line) << error;
    EXPECT_TRUE(line->options.trace);
    EXPECT_FALSE(line->options.simulator);
    EXPECT_TRUE(line->options.useIic);
    EXPECT_EQ(line->options.iicAddress, 0x20);
    EXPECT_EQ(line->options.device, "USB0::X::RAW");
    EXPECT_EQ(line->command, "download");
    EXPECT_EQ(line->arguments, (std::vector<std::string>{"p.hex", "--memory", "otp", "--yes"}));

    const OptionRule options[] = {{"--memory", true}, {"--yes", false}};
    const auto parsed = CommandArguments::parse(line->arguments, options, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->positional(), std::vector<std::string>{"p.hex"});
    EXPECT_EQ(parsed->value("--memory", "spi"), "otp");
    EXPECT_TRUE(parsed->has("--yes"));

    const std::vector<std::string> twice{"--yes", "--yes"};
    EXPECT_FALSE(CommandArguments::parse(twice, options, error));
    EXPECT_EQ(error, "--yes is given twice");
    // The options of the program are not the command's.
    const std::vector<std::string> late{"p.hex", "--trace"};
    EXPECT_FALSE(CommandArguments::parse(late, options, error));
    EXPECT_EQ(error, "unknown option '--trace'");
}

TEST(CommandLine, Numbers) {
    EXPECT_EQ(parseNumber("32", 0xFFFF), 32u);
    EXPECT_EQ(parseNumber("0x7D", 0xFFFF), 0x7Du);
    EXPECT_EQ(parseNumber("0xFFFF", 0xFFFF), 0xFFFFu);
    EXPECT_FALSE(parseNumber("0x10000", 0xFFFF));
    EXPECT_FALSE(parseNumber("", 0xFFFF));
    EXPECT_FALSE(parseNumber("0x", 0xFFFF));
    EXPECT_FALSE(parseNumber("12a", 0xFFFF));
    EXPECT_FALSE(parseNumber("-1", 0xFFFF));
}

struct Console : ::testing::Test {
    ConsoleReport make(ConsoleSettings settings) { return {out, err, in, settings}; }
    std::ostringstream out, err;
    std::istringstream in;
};

TEST_F(Console, MessagesAsTheyComeAndTheLampAsAResultLine) {
    ConsoleReport report = make({});
    report.setLampLabel("Download");
    report.setLamp(programmer::LampState::inProgress);
    report.appendMessage("Opening connection...");
    report.setLamp(programmer::LampState::failed);
    report.appendMessage("\nmore");
    report.finish();
    EXPECT_EQ(out.str(), "Opening connection...\nDownload: FAILED\n\nmore\n");
    report.showErrorPopup("Read & verify failed.\nPlease download hexfile again!", 132);
    report.showMessagePopup("ERROR", "programmer device is being used by another application");
    EXPECT_EQ(err.str(), "kz71prog: Error 132: Read & verify failed. Please download hexfile "
                         "again!\nkz71prog: ERROR: programmer device is being used by another "
                         "application\n");
}

TEST_F(Console, ProgressBarOnlyOnATerminalAndClearedBeforeMessages) {
    ConsoleReport quiet = make({});
    quiet.progress(1, 4);
    EXPECT_EQ(err.str(), "");

    ConsoleReport report = make({true, false, false});
    report.progress(0, 4);
    report.progress(1, 4);
    report.progress(1, 4); // unchanged: not drawn again
    EXPECT_EQ(err.str(), "\r[........................................] 0% "
                         "\r[##########..............................] 25% ");
    err.str("");
    report.appendMessage("x");
    EXPECT_EQ(err.str(), "\r\033[K");
    err.str("");
    report.progress(2, 4);
    report.progress(4, 4);
    EXPECT_TRUE(err.str().ends_with("\r\033[K"));

    // Behind an unfinished message line the bar starts a line of its own, so that clearing it
    // leaves the message on the screen.
    err.str("");
    report.appendMessage("Verifying in progress...");
    report.progress(1, 2);
    EXPECT_TRUE(err.str().starts_with("\n\r[####")) << err.str();
}

TEST_F(Console, QuestionsOnTheTerminalOrByYes) {
    in.str("y\n");
    ConsoleReport asked = make({false, true, false});
    EXPECT_TRUE(asked.askYesNo("Warning", "continue?"));
    in.clear();
    in.str("\n");
    EXPECT_FALSE(asked.askYesNo("Warning", "continue?"));
    EXPECT_TRUE(make({false, false, true}).askYesNo("Warning", "continue?"));
    EXPECT_FALSE(make({false, false, false}).askYesNo("Warning", "continue?"));
    EXPECT_NE(err.str().find("Warning: continue? [y/N] yes (--yes)\n"), std::string::npos);
}

} // namespace
