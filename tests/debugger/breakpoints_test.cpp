// Breakpoints and line marks as the user sees them: toggling, clearing all, the current line in
// both views, split bit jumps and programs of two source files.
#include "debugger_fixture.h"
#include "programmer/breakpoints.h"
#include "programmer/debug_messages.h"

namespace {

using namespace programmer;

const std::string program = "; three increments\n"
                            "\tmove x, 5\n"
                            "\tincr x\n"
                            "\tincr y\n"
                            "\n"
                            "\tincr z\n"
                            "\tstop\n";

struct Breakpoints : DebuggerTest {
    void SetUp() override {
        DebuggerTest::SetUp();
        build(program);
    }
    BreakpointToggle toggle(const std::string& text) {
        return toggleBreakpointAtLine(debugger, 0, lineOf(text));
    }
    int editorLine(const std::string& text) const { return lineOf(text) - 1; }
};

TEST_F(Breakpoints, SettingAndClearingALineLeavesEverythingAsItWas) {
    EXPECT_EQ(toggle("incr y"), BreakpointToggle::set);
    EXPECT_EQ(debugger.table.at(5).bpFlag, 1);
    EXPECT_EQ(view.marks, (std::set<std::pair<int, int>>{{0, editorLine("incr y")}}));
    EXPECT_EQ(view.listingColour(0, editorLine("incr y")), colour_breakpoint);
    EXPECT_EQ(view.hexColour(5 / 2 + 6), colour_breakpoint);

    EXPECT_EQ(toggle("incr y"), BreakpointToggle::cleared);
    EXPECT_EQ(debugger.table.at(5).bpFlag, 0);
    EXPECT_TRUE(view.marks.empty());
    EXPECT_TRUE(view.listingColours.empty());
    EXPECT_TRUE(view.hexColours.empty());
    EXPECT_TRUE(report.popups().empty());
}

TEST_F(Breakpoints, OnlyLinesWhereAStatementStartsTakeOne) {
    EXPECT_EQ(toggle("; three"), BreakpointToggle::refused);
    EXPECT_EQ(toggleBreakpointAtLine(debugger, 0, 5), BreakpointToggle::refused); // empty line
    EXPECT_EQ(report.popups().size(), 2u);
    EXPECT_TRUE(report.popups()[0].starts_with("info 224 Selected line is not valid"));
    EXPECT_TRUE(view.marks.empty());
    debugger.settings.suppressDebugBpMessages = true;
    EXPECT_EQ(toggle("; three"), BreakpointToggle::refused);
    EXPECT_EQ(report.popups().size(), 2u);
}

TEST_F(Breakpoints, ADoubleClickMeansTheLineAboveTheSelectionEnd) {
    // A double-click selecting the whole line of "incr x" ends at column 0 of the next line.
    EXPECT_EQ(toggleBreakpoint(debugger, 0, lineOf("incr x"), 0), BreakpointToggle::set);
    EXPECT_EQ(debugger.table.at(4).bpFlag, 1);
    EXPECT_EQ(toggleBreakpoint(debugger, 0, lineOf("incr y"), 3), BreakpointToggle::unchanged);
    EXPECT_EQ(toggleBreakpoint(debugger, 7, 2, 0), BreakpointToggle::unchanged); // no such tab
    EXPECT_EQ(view.marks.size(), 1u);
}

TEST_F(Breakpoints, TwoStatementsInOneWordShareTheirHexLine) {
    // incr x at 4 and incr y at 5 both lie on hex line 8.
    toggle("incr x");
    toggle("incr y");
    toggle("incr x");
    EXPECT_EQ(view.hexColour(8), colour_breakpoint); // incr y still has its breakpoint
    toggle("incr y");
    EXPECT_EQ(view.hexColour(8), colour_default);
}

TEST_F(Breakpoints, TheCurrentLineOnABreakpointKeepsTheBreakpointColour) {
    toggle("incr x");
    ASSERT_EQ(singleStep(debugger).address, 4);
    EXPECT_EQ(view.listingColour(0, editorLine("incr x")), colour_breakpoint);
    EXPECT_EQ(view.hexColour(8), colour_breakpoint);
    ASSERT_EQ(singleStep(debugger).address, 5);
    EXPECT_EQ(view.listingColour(0, editorLine("incr x")), colour_breakpoint);
    EXPECT_EQ(view.listingColour(0, editorLine("incr y")), colour_current_line);
    EXPECT_EQ(view.hexColour(8), colour_breakpoint);
}

TEST_F(Breakpoints, ClearAllKeepsTheCurrentLineColour) {
    toggle("incr x");
    toggle("incr z");
    ASSERT_EQ(runToBreakpoint(debugger).address, 4);
    clearAllBP(debugger);
    EXPECT_TRUE(view.marks.empty());
    EXPECT_EQ(debugger.table.at(4).bpFlag, 0);
    EXPECT_EQ(debugger.table.at(6).bpFlag, 0);
    // The line the chip stands on shows the current-line colour, in both views.
    EXPECT_EQ(view.listingColour(0, editorLine("incr x")), colour_current_line);
    EXPECT_EQ(view.listingColour(0, editorLine("incr z")), colour_default);
    EXPECT_EQ(view.hexColour(8), colour_current_line);
    EXPECT_EQ(view.hexColour(9), colour_default);
    // When the highlight moves on, the line is plain again: no stale breakpoint colour.
    ASSERT_EQ(singleStep(debugger).address, 5);
    EXPECT_EQ(view.listingColour(0, editorLine("incr x")), colour_default);
    // No breakpoint is left to stop at.
    EXPECT_EQ(runToBreakpoint(debugger).reason, StopReason::end);
}

TEST_F(Breakpoints, AfterTheEndTheNextStepRecoloursNothingElse) {
    debugger.settings.suppressEofPopup = true;
    view.blinkEndsAtOnce = true;
    ASSERT_EQ(runToCursor(debugger, 0, lineOf("stop")).reason, StopReason::cursor);
    EXPECT_TRUE(view.listingColours.empty()); // the marks were cleared at the end
    ASSERT_TRUE(newDebugCycle(debugger));
    const auto hexBefore = view.hexColours;
    ASSERT_EQ(singleStep(debugger).address, 4);
    EXPECT_EQ(view.listingColours.size(), 1u);
    EXPECT_EQ(view.hexColours.size(), hexBefore.size() + 1);
}

TEST_F(DebuggerTest, ASplitBitJumpLineFlagsBothAddressesAndColoursTheFirstHexLine) {
    build(splitBitJumpProgram("\tmove x, 8\n\tgotoBitS x, 3, far\n"));
    const int line = lineOf("gotoBitS");
    ASSERT_EQ(toggleBreakpointAtLine(debugger, 0, line), BreakpointToggle::set);
    EXPECT_EQ(debugger.table.at(4).bpFlag, 1);
    EXPECT_EQ(debugger.table.at(6).bpFlag, 1);
    EXPECT_EQ(view.hexColours, (std::map<int, LineColour>{{4 / 2 + 6, colour_breakpoint}}));
    // Bit 3 is set: the skip does not skip, and the goto on the same line stops the run again.
    EXPECT_EQ(runToBreakpoint(debugger).address, 4);
    EXPECT_EQ(runToBreakpoint(debugger).address, 6);
    const RunOutcome last = runToBreakpoint(debugger);
    EXPECT_EQ(last.reason, StopReason::end);
    EXPECT_EQ(where(last.address), "prog.asm:" + std::to_string(lineOf("stop")));
}

TEST_F(DebuggerTest, StepsAcrossTwoSourceFilesSwitchTheListingTab) {
    build("\tmove x, 1\n#include \"part.asm\"\n\tincr y\n\tmove z, 2\n\tstop\n",
          {{"part.asm", "; included\n\tincr x\n\tincr z\n"}});
    ASSERT_EQ(view.tabs.size(), 2u);
    EXPECT_EQ(view.tabs[0].name, "prog.asm");
    EXPECT_EQ(view.tabs[1].name, "part.asm");
    EXPECT_EQ(view.tabs[1].path, (dir.path() / "part.asm").string());
    EXPECT_EQ(view.activeTab, 1); // the last tab made is active
    EXPECT_EQ(view.listingName, view.tabs[1].path);

    ASSERT_EQ(singleStep(debugger).address, 4);
    EXPECT_EQ(view.activeTab, 1);
    EXPECT_EQ(view.listingSelection, (std::pair{1, 1}));
    ASSERT_EQ(singleStep(debugger).address, 5);
    ASSERT_EQ(singleStep(debugger).address, 6);
    EXPECT_EQ(view.activeTab, 0);
    EXPECT_EQ(view.listingName, view.tabs[0].path);
    EXPECT_EQ(view.listingSelection, (std::pair{0, 2}));
    EXPECT_EQ(view.listingColours,
              (std::map<std::pair<int, int>, LineColour>{{{0, 2}, colour_current_line}}));

    // A breakpoint in the included file, set on its tab.
    ASSERT_EQ(toggleBreakpointAtLine(debugger, 1, 3), BreakpointToggle::set);
    EXPECT_EQ(toggleBreakpointAtLine(debugger, 0, 3), BreakpointToggle::set); // prog.asm's line 3
    ASSERT_TRUE(newDebugCycle(debugger));
    EXPECT_TRUE(view.marks.empty());
}

} // namespace
