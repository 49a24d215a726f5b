// The run commands on the simulated chip: what each sends, where it stops, what it shows and
// tells, and the stop rules around resets and the end of the program.
#include "debugger_fixture.h"
#include "programmer/breakpoints.h"
#include "programmer/debug_messages.h"
#include "programmer/download_frame.h"
#include "test_programs.h"

#include <filesystem>

namespace {

using namespace programmer;
namespace message = programmer::debug_message;

const std::string& counting = counting_program;
// Never ends: x counts up for ever.
const std::string endless = "\tmove y, 1\n"
                            "again:\tincr x\n"
                            "\tgoto again\n"
                            "\tmove z, 7 ; never reached\n"
                            "\tstop\n";
// 5 bytes: the image is completed with 0x00, the stop stands at lastIndex - 1.
const std::string odd_sized = "\tmove x, 5\n\tstop\n";

const std::string enter_debug_mode = "OUT B0 0089 0000 []";
const std::string step = "IN B0 0081 0047";

struct Run : DebuggerTest {
    std::vector<std::string> popups() const { return report.popups(); }
    std::size_t steps() const { return count(step); }
};

TEST_F(Run, TheFirstStepEntersDebugModeAndShowsWhereTheChipStands) {
    build(counting);
    const RunOutcome outcome = singleStep(debugger);
    EXPECT_EQ(outcome.reason, StopReason::step);
    EXPECT_EQ(outcome.address, 4);
    EXPECT_TRUE(debugger.state.debugModeActive);
    EXPECT_TRUE(view.debugMode);

    const std::vector<std::string> sent = wire();
    ASSERT_GE(sent.size(), 13u);
    EXPECT_EQ(
        std::vector<std::string>(sent.begin(), sent.begin() + 5),
        (std::vector<std::string>{"OUT B0 0023 0000 [99]", "OUT B0 0055 0000 []", enter_debug_mode,
                                  "OUT B0 0043 0000 []", "OUT B0 0042 0000 []"}));
    EXPECT_EQ(pauseAfter(4), 500ms); // after the reset pulse
    EXPECT_TRUE(sent[5].starts_with(step) && sent[5].ends_with(" 00 04]")) << sent[5];
    EXPECT_EQ(sent.size(), 13u); // the step and the seven reads of the register display

    EXPECT_EQ(view.activeTab, 0);
    EXPECT_EQ(view.listingName, (dir.path() / "prog.asm").string());
    EXPECT_EQ(view.listingSelection, (std::pair{0, lineOf("incr x") - 1}));
    EXPECT_EQ(view.listingColour(0, lineOf("incr x") - 1), colour_current_line);
    EXPECT_EQ(view.hexSelection, hexLineOf(4));
    EXPECT_EQ(view.hexColour(hexLineOf(4)), colour_current_line);
    EXPECT_EQ(view.registers.x, "0x000005");
    EXPECT_EQ(view.registers.lastAddress, "0x0004");

    // The next step moves both highlights; the old lines get their colour back.
    clearWire();
    EXPECT_EQ(singleStep(debugger).address, 5);
    EXPECT_EQ(wire().size(), 8u); // debug mode stays: one step, seven reads
    EXPECT_EQ(view.listingColour(0, lineOf("incr x") - 1), colour_default);
    EXPECT_EQ(view.listingColour(0, lineOf("add y") - 1), colour_current_line);
    EXPECT_TRUE(popups().empty()) << popups().front();
}

TEST_F(Run, ASingleStepPassesBothAddressesOfASplitBitJump) {
    build(splitBitJumpProgram("\tmove x, 5\n\tgotoBitC x, 3, far\n"));
    const int line = lineOf("gotoBitC");
    ASSERT_EQ(addressesOnLine(debugger.table, line, "prog.asm"), (std::vector<std::int32_t>{4, 6}));

    EXPECT_EQ(singleStep(debugger).address, 4);
    clearWire();
    // Bit 3 of x is clear: the skip does not skip, and the same step goes on through the goto.
    const RunOutcome outcome = singleStep(debugger);
    EXPECT_EQ(steps(), 2u);
    EXPECT_EQ(where(outcome.address), "prog.asm:" + std::to_string(lineOf("far:")));
}

TEST_F(Run, RunToBreakpointStopsAtTheBreakpointThenAtTheStall) {
    build(counting);
    // Set before the first run: the table is there as soon as the program is.
    ASSERT_EQ(toggleBreakpointAtLine(debugger, 0, lineOf("move r")), BreakpointToggle::set);
    EXPECT_TRUE(wire().empty());

    RunOutcome outcome = runToBreakpoint(debugger);
    EXPECT_EQ(outcome.reason, StopReason::breakpoint);
    EXPECT_EQ(outcome.address, 0x10);
    EXPECT_EQ(steps(), 12u);
    EXPECT_EQ(view.registers.z, "0x000003");
    EXPECT_EQ(view.listingSelection, (std::pair{0, lineOf("move r") - 1}));
    EXPECT_EQ(view.hexColour(hexLineOf(0x10)), colour_breakpoint); // keeps its colour

    // On from the breakpoint: onto the stop, then the stop holds the chip there.
    outcome = runToBreakpoint(debugger);
    EXPECT_EQ(outcome.reason, StopReason::end);
    EXPECT_EQ(outcome.address, 0x14);
    EXPECT_EQ(view.listingSelection, (std::pair{0, lineOf("stop") - 1}));
    EXPECT_TRUE(popups().empty()); // Run to Breakpoint makes no end-of-program test
    EXPECT_EQ(report.events.front(), "busy on");
    EXPECT_EQ(report.events.back(), "busy off");
}

TEST_F(Run, ARunThatNeverStopsTimesOutAfterFiftySeconds) {
    build(endless);
    debugger.settings.suppressDebugInfoRefreshing = true;
    const auto start = clock->now();
    const RunOutcome outcome = runToBreakpoint(debugger);
    EXPECT_EQ(outcome.reason, StopReason::timeout);
    EXPECT_EQ(popups(),
              std::vector<std::string>{"warning 217 " + std::string(message::run_timeout)});
    const auto taken = clock->now() - start;
    EXPECT_GT(taken, 50s);
    EXPECT_LT(taken, 51s);
    // The registers are read where the run stopped; the chip stays in debug mode, unmarked.
    EXPECT_EQ(view.registers.x, formatMessage("0x%06X", simulator->chip().accumulator(0)));
    EXPECT_TRUE(debugger.state.debugModeActive);
    EXPECT_EQ(view.hexSelection, -1);
    // The page was kept alive all along, told how far the run was towards its limit.
    EXPECT_GT(report.progressCalls, 2000u);
    EXPECT_EQ(report.lastProgress.second, 50000u);
    EXPECT_GE(report.lastProgress.first, 49900u);
}

TEST_F(Run, RunToCursorStopsOnTheCursorLineOnly) {
    build(counting);
    ASSERT_EQ(toggleBreakpointAtLine(debugger, 0, lineOf("compare")), BreakpointToggle::set);
    RunOutcome outcome = runToCursor(debugger, 0, lineOf("move r"));
    EXPECT_EQ(outcome.reason, StopReason::cursor); // through the breakpoint
    EXPECT_EQ(outcome.address, 0x10);
    EXPECT_EQ(view.registers.z, "0x000003");

    // A comment line is no hold point: 224, and nothing is sent.
    clearWire();
    outcome = runToCursor(debugger, 0, 1);
    EXPECT_EQ(outcome.reason, StopReason::failed);
    EXPECT_EQ(popups(),
              std::vector<std::string>{"info 224 " + std::string(message::invalid_hold_point)});
    EXPECT_TRUE(wire().empty());
    debugger.settings.suppressDebugBpMessages = true;
    EXPECT_EQ(runToCursor(debugger, 0, 1).reason, StopReason::failed);
    EXPECT_EQ(popups().size(), 1u);

    // The cursor on the stop: reached, and it is the end of the program.
    outcome = runToCursor(debugger, 0, lineOf("stop"));
    EXPECT_EQ(outcome.reason, StopReason::cursor);
    EXPECT_EQ(popups().back(), "info 218 " + std::string(message::end_of_program));
    EXPECT_EQ(view.blinks, std::vector<int>{hexLineOf(0x14)});
}

TEST_F(Run, RunToCursorAfterATimeOutShowsTheRegistersWhereItStopped) {
    build(endless);
    debugger.settings.suppressDebugInfoRefreshing = true;
    const RunOutcome outcome = runToCursor(debugger, 0, lineOf("move z"));
    EXPECT_EQ(outcome.reason, StopReason::timeout);
    ASSERT_TRUE(view.registersShown);
    EXPECT_EQ(view.registers.x, formatMessage("0x%06X", simulator->chip().accumulator(0)));
    EXPECT_NE(view.registers.x, "0x000000");
}

TEST_F(Run, AfterAResetTheFirstStepIsNoStall) {
    build(counting);
    ASSERT_EQ(singleStep(debugger).address, 4);
    ASSERT_EQ(toggleBreakpointAtLine(debugger, 0, lineOf("move r")), BreakpointToggle::set);
    clearWire();
    ASSERT_TRUE(resetChip(debugger));
    EXPECT_EQ(wire(), (std::vector<std::string>{"OUT B0 0043 0000 []", "OUT B0 0042 0000 []"}));
    // The run's first step ends at 4 again, where the last step before the reset ended.
    const RunOutcome outcome = runToBreakpoint(debugger);
    EXPECT_EQ(outcome.reason, StopReason::breakpoint);
    EXPECT_EQ(outcome.address, 0x10);
}

TEST_F(Run, ResetOutsideDebugModeEntersItForThePulseOnly) {
    build(counting);
    ASSERT_TRUE(resetChip(debugger));
    EXPECT_FALSE(debugger.state.debugModeActive);
    EXPECT_EQ(session.resourceManager, VI_NULL);
    const std::vector<std::string> sent = wire();
    ASSERT_GE(sent.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(sent.end() - 4, sent.end() - 1),
              (std::vector<std::string>{"OUT B0 0043 0000 []", "OUT B0 0042 0000 []",
                                        "OUT B0 0088 0000 []"}));
    EXPECT_TRUE(sent.back().starts_with(step)); // leaving debug mode makes one more step
}

TEST_F(Run, NewDebugCycleRestartsTheChipAndClearsEveryBreakpoint) {
    build(counting);
    ASSERT_EQ(toggleBreakpointAtLine(debugger, 0, lineOf("incr x")), BreakpointToggle::set);
    ASSERT_EQ(runToBreakpoint(debugger).address, 4);
    clearWire();
    ASSERT_TRUE(newDebugCycle(debugger));
    const std::vector<std::string> sent = wire();
    ASSERT_GE(sent.size(), 9u);
    EXPECT_EQ(sent[0], "OUT B0 0088 0000 []");
    EXPECT_TRUE(sent[1].starts_with(step));
    EXPECT_EQ(
        std::vector<std::string>(sent.begin() + 2, sent.end()),
        (std::vector<std::string>{"OUT B0 0023 0000 [99]", "OUT B0 0055 0000 []", enter_debug_mode,
                                  "OUT B0 0043 0000 []", "OUT B0 0042 0000 []",
                                  "OUT B0 00F0 0000 []", "OUT B0 00C0 0000 []"}));
    // The breakpoint is gone from the table, the margin and both views' colours alike.
    EXPECT_EQ(debugger.table.at(4).bpFlag, 0);
    EXPECT_TRUE(view.marks.empty());
    EXPECT_EQ(view.listingColour(0, lineOf("incr x") - 1), colour_default);
    EXPECT_EQ(view.hexColour(hexLineOf(4)), colour_default);
    EXPECT_EQ(debugger.state.previousAddress, 0);

    // The chip starts again: its first step ends at 4, as before the cycle, and is no stall.
    const RunOutcome outcome = runToBreakpoint(debugger);
    EXPECT_EQ(outcome.reason, StopReason::end);
    EXPECT_EQ(outcome.address, 0x14);
}

TEST_F(Run, NewDebugCycleTellsAFailedReset) {
    build(counting);
    simulator->faults().failCommand(wire::init_reset, sim::Failure::stall);
    EXPECT_FALSE(newDebugCycle(debugger));
    ASSERT_EQ(popups().size(), 1u);
    EXPECT_TRUE(popups()[0].starts_with("warning 220 Performing init reset failed!\n"))
        << popups()[0];
}

TEST_F(Run, ExitDebugModeClearsTheMarksAndClosesTheSession) {
    build(counting);
    ASSERT_EQ(toggleBreakpointAtLine(debugger, 0, lineOf("incr x")), BreakpointToggle::set);
    ASSERT_EQ(runToBreakpoint(debugger).address, 4);
    ramWindowOpened(debugger);
    clearWire();
    exitDebugMode(debugger);
    EXPECT_EQ(wire().front(), "OUT B0 0088 0000 []");
    EXPECT_EQ(wire().size(), 2u);
    EXPECT_FALSE(debugger.state.debugModeActive);
    EXPECT_FALSE(view.debugMode);
    EXPECT_EQ(session.resourceManager, VI_NULL);
    EXPECT_EQ(view.ramWindowsClosed, 1);
    EXPECT_FALSE(debugger.ram.open);
    // The current line is no longer marked; the breakpoint keeps its colour and its mark.
    EXPECT_EQ(view.listingColour(0, lineOf("incr x") - 1), colour_breakpoint);
    EXPECT_EQ(view.hexColour(hexLineOf(4)), colour_breakpoint);
    EXPECT_EQ(view.marks.size(), 1u);

    // Entering again keeps the breakpoint and starts the program anew.
    EXPECT_EQ(runToBreakpoint(debugger).address, 4);
    EXPECT_EQ(view.listingLoads.size(), 1u); // the listings were loaded once
}

TEST_F(Run, TheEndOfAnOddSizedProgramIsItsFinalStop) {
    build(odd_sized);
    ASSERT_EQ(debugger.program.lastIndex, 5);
    const RunOutcome outcome = singleStep(debugger);
    EXPECT_EQ(outcome.reason, StopReason::end);
    EXPECT_EQ(outcome.address, 4);
    EXPECT_EQ(popups(),
              std::vector<std::string>{"info 218 " + std::string(message::end_of_program)});
    // The marks are cleared and the hex view line of the image's last byte blinks.
    EXPECT_EQ(view.blinks, std::vector<int>{4 / 2 + 6});
    EXPECT_EQ(view.listingColour(0, lineOf("stop") - 1), colour_default);
    EXPECT_EQ(view.hexColour(8), colour_current_line); // while it blinks

    // While it blinks no run starts; a single step ends the blink.
    clearWire();
    EXPECT_EQ(runToBreakpoint(debugger).reason, StopReason::failed);
    EXPECT_TRUE(wire().empty());
    debugger.settings.suppressEofPopup = true;
    EXPECT_EQ(singleStep(debugger).reason, StopReason::end);
    EXPECT_EQ(view.blinks.size(), 2u);
    EXPECT_EQ(popups().size(), 1u);
}

TEST_F(Run, AtEndOfProgramRules) {
    DownloadImage image;
    image.lastIndex = 9;
    EXPECT_TRUE(atEndOfProgram(image, 9));
    EXPECT_FALSE(atEndOfProgram(image, 8)); // a 0x00 after anything but a stop
    image.code[8] = 0xCD;
    EXPECT_TRUE(atEndOfProgram(image, 8));
    image.code[9] = 0xCD;
    image.code[8] = 0x10;
    EXPECT_TRUE(atEndOfProgram(image, 8));
    image.lastIndex = -1; // no image read
    EXPECT_FALSE(atEndOfProgram(image, 0));
}

TEST_F(Run, ProgramsUsingClk10khzAreNotDebugged) {
    build("\tclk10khz 1\n\tincr x\n\tstop\n");
    EXPECT_EQ(singleStep(debugger).reason, StopReason::failed);
    EXPECT_EQ(runToBreakpoint(debugger).reason, StopReason::failed);
    EXPECT_EQ(runToCursor(debugger, 0, lineOf("incr")).reason, StopReason::failed);
    EXPECT_EQ(popups(),
              std::vector<std::string>(3, "warning 227 " + std::string(message::clk10khz)));
    EXPECT_TRUE(wire().empty());
}

TEST_F(Run, AFailedStepStopsTheRun) {
    build(endless);
    ASSERT_EQ(singleStep(debugger).reason, StopReason::step);
    simulator->faults().failCommand(wire::single_step, sim::Failure::timeout, 1);
    EXPECT_EQ(runToBreakpoint(debugger).reason, StopReason::failed);
    EXPECT_EQ(popups(), std::vector<std::string>{"warning 216 Reading debug information failed\n"
                                                 "Timeout"});
    EXPECT_EQ(steps(), 2u);
}

TEST_F(Run, WithoutAProgrammerTheRunIsAbortedAndTheNextOneTriesAgain) {
    build(counting);
    simulator->unplug();
    EXPECT_EQ(singleStep(debugger).reason, StopReason::failed);
    EXPECT_EQ(runToBreakpoint(debugger).reason, StopReason::failed);
    const std::string search = "error 209 Cannot obtain USB instrument descriptor.\nNo USB "
                               "communication possible.";
    EXPECT_EQ(popups(), (std::vector<std::string>{
                            search, "warning 221 " + std::string(message::step_aborted), search,
                            "warning 219 " + std::string(message::run_aborted_no_usb)}));
    EXPECT_EQ(session.resourceManager, VI_NULL);
    simulator->plug();
    EXPECT_EQ(singleStep(debugger).address, 4);
}

TEST_F(Run, AChipThatCannotEnterDebugModeAbortsTheStep) {
    build(counting);
    simulator->faults().failCommand(wire::enter_debug_mode, sim::Failure::stall, 1);
    EXPECT_EQ(singleStep(debugger).reason, StopReason::failed);
    ASSERT_EQ(popups().size(), 2u);
    EXPECT_TRUE(popups()[0].starts_with("warning 213 Enable debug mode failed\n"));
    EXPECT_EQ(popups()[1], "warning 221 " + std::string(message::step_aborted));
    EXPECT_FALSE(view.debugMode);
    EXPECT_EQ(singleStep(debugger).address, 4);
}

struct ProperFile : Run {
    // 64 bytes: the comparison reads words 0 to 30.
    void SetUp() override {
        Run::SetUp();
        std::string source;
        for (int i = 0; i < 15; ++i)
            source += "\tmove x, " + std::to_string(i + 1) + "\n";
        build(source + "\tincr x\n\tincr y\n\tincr z\n\tstop\n");
        ASSERT_EQ(debugger.program.lastIndex, 63);
    }
};

TEST_F(ProperFile, TheChipsProgramIsComparedOncePerEntry) {
    EXPECT_EQ(singleStep(debugger).address, 4);
    EXPECT_EQ(count("IN B0 00A0"), 31u);
    const std::size_t on = find(enter_debug_mode) + 3;
    EXPECT_EQ(wire()[on], "OUT B0 0087 0000 []");
    EXPECT_EQ(wire()[on + 1], "OUT B0 0091 0000 []");
    EXPECT_EQ(wire()[on + 2], "IN B0 00A0 0000 len 2 [70 00]");
    EXPECT_EQ(wire()[on + 33], "OUT B0 0090 0000 []");
    EXPECT_EQ(wire()[on + 34], "OUT B0 0086 0000 []");
    clearWire();
    singleStep(debugger);
    EXPECT_EQ(count("IN B0 00A0"), 0u);
    EXPECT_TRUE(popups().empty());
}

TEST_F(ProperFile, AnotherProgramInTheChipAbortsTheRun) {
    simulator->faults().corruptRead(sim::Memory::program_memory, 40, 0x01);
    EXPECT_EQ(runToBreakpoint(debugger).reason, StopReason::failed);
    EXPECT_EQ(popups(), std::vector<std::string>{"warning 219 " +
                                                 std::string(message::run_aborted_wrong_file)});
    EXPECT_FALSE(debugger.state.debugModeActive);
    EXPECT_EQ(session.resourceManager, VI_NULL);
    EXPECT_EQ(steps(), 1u); // the one step of leaving debug mode

    debugger.settings.suppressProperFileDetection = true;
    EXPECT_EQ(singleStep(debugger).address, 4);
}

TEST_F(Run, ASourceNewerThanItsBuildIsToldOncePerSession) {
    build(counting);
    const auto built = std::filesystem::last_write_time(debugger.dbgFilePath);
    std::filesystem::last_write_time(dir.path() / "prog.asm", built + 2s);
    singleStep(debugger);
    const std::string told =
        formatMessage(message::stale_build, (dir.path() / "prog.asm").string().c_str(),
                      debugger.dbgFilePath.c_str());
    EXPECT_EQ(popups(), std::vector<std::string>{"info 229 " + told});
    exitDebugMode(debugger);
    singleStep(debugger);
    EXPECT_EQ(popups().size(), 1u);
    // A build ends the session; the program loaded again is checked again.
    endDebugSession(debugger);
    loadDebugProgram(debugger);
    EXPECT_EQ(popups().size(), 2u);
}

} // namespace
