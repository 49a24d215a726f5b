// The Debugger page driving the debugger core on the simulated chip, as the user works it: the
// program loads when the page comes up, breakpoints are clicked into the margin, the run buttons
// and menu items step the chip, and the listings, the hex view, the lamp and the registers show
// where it stands.
#include "app/quit.h"
#include "debugger_page_fixture.h"
#include "programmer/debug_messages.h"
#include "shell/appearance.h"
#include "shell/lamp.h"
#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

using programmer::colour_breakpoint;
using programmer::colour_current_line;
using programmer::colour_default;
namespace message = programmer::debug_message;

// Never ends: x counts up for ever.
const char* const endless_source = "\tmove y, 1\n"
                                   "again:\tincr x\n"
                                   "\tgoto again\n"
                                   "\tstop\n";

class DebuggerPage : public DebuggerPageTest {
protected:
    void buildCounting() { build(counting_source, {{"tail.h", counting_tail}}); }
    int tail() const { return page().listings().count() > 1 ? 1 : -1; }
    QColor buttonColour(const char* name) const {
        return find<QPushButton>(name)->palette().color(QPalette::Button);
    }
    bool shown(const char* name) const { return find<QWidget>(name)->isVisibleTo(window()); }
};

TEST_F(DebuggerPage, TheProgramLoadsWhenThePageComesUpWithoutTalkingToTheChip) {
    buildCounting();
    showDebuggerPage();
    ListingTabs& listings = page().listings();
    ASSERT_EQ(listings.count(), 2);
    auto* tabs = find<QTabWidget>("listingTabs");
    EXPECT_EQ(tabs->tabText(0), "prog.asm");
    EXPECT_EQ(tabs->tabText(1), "tail.h");
    EXPECT_EQ(listing(0)->text(), counting_source);
    EXPECT_EQ(listing(1)->text(), counting_tail);
    EXPECT_TRUE(listing(0)->isReadOnly() && listing(1)->isReadOnly());
    EXPECT_EQ(hexView()->text(), QString::fromUtf8(readFile("prog.hex")));
    EXPECT_EQ(text("dbgHexFileName"), path("prog.hex"));
    // The last file of the program is in front and named.
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(text("listingName"), path("tail.h"));
    tabs->setCurrentIndex(0);
    EXPECT_EQ(text("listingName"), path("prog.asm"));

    EXPECT_FALSE(shown("debuggerHint"));
    EXPECT_TRUE(shown("singleStepButton"));
    EXPECT_FALSE(shown("runningText"));
    EXPECT_FALSE(find<Lamp>("debugLamp")->isOn());
    EXPECT_EQ(text("xValue"), "--");
    EXPECT_TRUE(nothingSent());
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
    for (const char* command : {"mDebuggerRunToBP", "mDebuggerRunToCursor", "mDebuggerSingleStep",
                                "mDebuggerExitDbgMode"})
        EXPECT_TRUE(find<QAction>(command)->isEnabled()) << command;
    for (const char* button : {"singleStepButton", "newDebugCycleButton", "resetButton",
                               "showRamContentButton", "clearBreakpoints"})
        EXPECT_TRUE(find<QAbstractButton>(button)->isEnabled()) << button;
}

TEST_F(DebuggerPage, ABreakpointClickedBeforeTheFirstRunStopsTheRunThere) {
    buildCounting();
    showDebuggerPage();
    const int line = lineOf("move r", "tail.h");
    clickMargin(tail(), line);
    EXPECT_TRUE(marked(tail(), line - 1));
    EXPECT_EQ(listingColour(tail(), line - 1), colour_breakpoint);
    EXPECT_EQ(hexColour(hexLineOf(0x10)), colour_breakpoint);
    EXPECT_TRUE(nothingSent()); // no debug mode needed for it

    find<QTabWidget>("listingTabs")->setCurrentIndex(0);
    click("runToBreakpointButton");
    EXPECT_EQ(debugger().state.previousAddress, 0x10);
    EXPECT_EQ(steps(), 12u);
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
    // The breakpoint's tab comes to the front; its line keeps the breakpoint colour while it
    // is the current line, in both views.
    EXPECT_EQ(page().listings().activeTab(), tail());
    EXPECT_EQ(text("listingName"), path("tail.h"));
    EXPECT_EQ(page().listings().cursorLine(), line - 1);
    EXPECT_EQ(listingColour(tail(), line - 1), colour_breakpoint);
    EXPECT_EQ(hexColour(hexLineOf(0x10)), colour_breakpoint);
    EXPECT_EQ(text("zValue"), "0x000003");
    EXPECT_EQ(text("lastAddressValue"), "0x0010");
    EXPECT_TRUE(find<Lamp>("debugLamp")->isOn());
    EXPECT_TRUE(shown("runningText"));
    EXPECT_TRUE(chipInDebugMode());
    EXPECT_EQ(buttonColour("runToBreakpointButton"), run_green);

    // Clicked again: the mark goes, the line stays the current line.
    clickMargin(tail(), line);
    EXPECT_FALSE(marked(tail(), line - 1));
    EXPECT_EQ(listingColour(tail(), line - 1), colour_current_line);
    EXPECT_EQ(debugger().table.at(0x10).bpFlag, 0);
}

TEST_F(DebuggerPage, ADoubleClickTogglesOnceAndAnInvalidLineIsRefusedWithItsPopup) {
    buildCounting();
    showDebuggerPage();
    find<QTabWidget>("listingTabs")->setCurrentIndex(0);
    // A double-click in the margin (a click, then the double-click's second press) is one
    // toggle, not two.
    const int loop = lineOf("loop:");
    QsciScintilla* editor = listing(0);
    const int y = static_cast<int>(editor->SendScintilla(
        QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, editor->positionFromLineIndex(loop - 1, 0)));
    const QPoint inMargin(editor->marginWidth(0) + 4, y + 4);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, inMargin);
    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, inMargin);
    EXPECT_TRUE(marked(0, loop - 1));
    clickMargin(0, loop);
    EXPECT_FALSE(marked(0, loop - 1));
    // A double-click on the text of a line toggles its breakpoint.
    const int compare = lineOf("compare");
    emit editor->SCN_DOUBLECLICK(0, compare - 1, 0);
    EXPECT_TRUE(marked(0, compare - 1));
    EXPECT_EQ(debugger().table.at(0x0A).bpFlag, 1);

    // The comment line holds no statement.
    clickMargin(0, 1);
    EXPECT_FALSE(marked(0, 0));
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown.front().title, "ivra-ASM Info 224");
    EXPECT_EQ(popups.shown.front().text,
              QString::fromUtf8(message::invalid_hold_point) + "\nInfo 224");
    setSetting(&Settings::suppressDebugBpMessages, 1);
    clickMargin(0, 1);
    EXPECT_EQ(popups.shown.size(), 1);
    EXPECT_FALSE(marked(0, 0));
}

TEST_F(DebuggerPage, SingleStepPassesATwoAddressLineInOneStep) {
    build(splitBitJumpSource());
    showDebuggerPage();
    ASSERT_EQ(debugger().table.at(4).line, debugger().table.at(6).line);
    click("singleStepButton");
    EXPECT_EQ(debugger().state.previousAddress, 4);
    EXPECT_EQ(page().listings().cursorLine(), lineOf("gotoBitC") - 1);
    EXPECT_EQ(listingColour(0, lineOf("gotoBitC") - 1), colour_current_line);
    clearWire();
    // Bit 3 of x is clear: the skip does not skip, and the same click goes on through the goto.
    click("singleStepButton");
    EXPECT_EQ(steps(), 2u);
    EXPECT_EQ(where(debugger().state.previousAddress),
              "prog.asm:" + std::to_string(lineOf("far:")));
    EXPECT_EQ(listingColour(0, lineOf("gotoBitC") - 1), colour_default);
    EXPECT_EQ(listingColour(0, lineOf("far:") - 1), colour_current_line);
    EXPECT_EQ(hexColour(hexLineOf(debugger().state.previousAddress)), colour_current_line);
}

TEST_F(DebuggerPage, SteppingThroughTwoSourceFilesSwitchesTheirTabs) {
    buildCounting();
    showDebuggerPage();
    find<QTabWidget>("listingTabs")->setCurrentIndex(0);
    putCursor(tail(), lineOf("move r", "tail.h"));
    click("runToCursorButton");
    ASSERT_EQ(debugger().state.previousAddress, 0x10);
    EXPECT_EQ(page().listings().activeTab(), tail());
    click("singleStepButton");
    EXPECT_EQ(page().listings().activeTab(), tail());
    EXPECT_EQ(listingColour(tail(), lineOf("move r", "tail.h") - 1), colour_default);
    EXPECT_EQ(listingColour(tail(), lineOf("move y", "tail.h") - 1), colour_current_line);
    click("singleStepButton"); // onto the final stop, back in prog.asm
    EXPECT_EQ(page().listings().activeTab(), 0);
    EXPECT_EQ(text("listingName"), path("prog.asm"));
    EXPECT_EQ(listingColour(tail(), lineOf("move y", "tail.h") - 1), colour_default);
    EXPECT_EQ(text("yValue"), "0x012345");
}

TEST_F(DebuggerPage, RunToCursorStopsOnTheCursorLineAndRefusesALineWithoutStatement) {
    buildCounting();
    showDebuggerPage();
    putCursor(0, lineOf("compare"));
    click("runToCursorButton");
    EXPECT_EQ(debugger().state.previousAddress, 0x0A);
    EXPECT_EQ(text("zValue"), "0x000001");
    EXPECT_EQ(listingColour(0, lineOf("compare") - 1), colour_current_line);
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
    // Again from there: once round the loop.
    click("runToCursorButton");
    EXPECT_EQ(text("zValue"), "0x000002");

    clearWire();
    putCursor(0, lineOf("#include"));
    click("runToCursorButton");
    EXPECT_EQ(popups.titles(), "ivra-ASM Info 224");
    EXPECT_TRUE(nothingSent());
    EXPECT_EQ(debugger().state.previousAddress, 0x0A);
}

TEST_F(DebuggerPage, NewDebugCycleClearsTheMarginsWithTheTableAndRunsFromTheStart) {
    buildCounting();
    showDebuggerPage();
    find<QTabWidget>("listingTabs")->setCurrentIndex(0);
    clickMargin(0, lineOf("compare"));
    clickMargin(tail(), lineOf("move y", "tail.h"));
    click("runToBreakpointButton");
    ASSERT_EQ(debugger().state.previousAddress, 0x0A);

    click("newDebugCycleButton");
    EXPECT_FALSE(marked(0, lineOf("compare") - 1));
    EXPECT_FALSE(marked(tail(), lineOf("move y", "tail.h") - 1));
    EXPECT_EQ(listingColour(0, lineOf("compare") - 1), colour_default);
    EXPECT_EQ(hexColour(hexLineOf(0x0A)), colour_default);
    EXPECT_EQ(hexColour(hexLineOf(0x14)), colour_default);
    for (const programmer::AddressEntry& entry : debugger().table.entries)
        ASSERT_EQ(entry.bpFlag, 0);
    EXPECT_EQ(text("zValue"), "--"); // the display starts afresh with debug mode
    EXPECT_TRUE(chipInDebugMode());

    // No breakpoint left: the run goes from the start to the stall on the final stop.
    clearWire();
    click("runToBreakpointButton");
    EXPECT_EQ(debugger().state.previousAddress, 0x18);
    EXPECT_GT(steps(), 12u);
    EXPECT_EQ(page().listings().activeTab(), 0);
    EXPECT_EQ(listingColour(0, lineOf("stop") - 1), colour_current_line);
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
}

TEST_F(DebuggerPage, ResetRestartsTheChipAndExitLeavesDebugModeWithTheMarksCleared) {
    buildCounting();
    showDebuggerPage();
    click("singleStepButton");
    click("singleStepButton");
    ASSERT_EQ(debugger().state.previousAddress, 5);
    click("resetButton");
    click("singleStepButton");
    EXPECT_EQ(debugger().state.previousAddress, 4); // from address 0 again
    EXPECT_EQ(listingColour(0, lineOf("incr x") - 1), colour_current_line);

    click("exitDebugModeButton");
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_FALSE(find<Lamp>("debugLamp")->isOn());
    EXPECT_FALSE(shown("runningText"));
    EXPECT_EQ(listingColour(0, lineOf("incr x") - 1), colour_default);
    EXPECT_EQ(hexColour(hexLineOf(4)), colour_default);
    EXPECT_EQ(app->programmerSession().resourceManager, VI_NULL);
    // Reset outside debug mode enters it for the pulse and leaves it again.
    clearWire();
    click("resetButton");
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_FALSE(find<Lamp>("debugLamp")->isOn());
    EXPECT_FALSE(nothingSent());
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
}

TEST_F(DebuggerPage, ClearAllKeepsTheCurrentLineColour) {
    buildCounting();
    showDebuggerPage();
    find<QTabWidget>("listingTabs")->setCurrentIndex(0);
    const int compare = lineOf("compare"), stop = lineOf("stop");
    clickMargin(0, compare);
    clickMargin(0, stop);
    click("runToBreakpointButton");
    ASSERT_EQ(debugger().state.previousAddress, 0x0A);
    ASSERT_EQ(listingColour(0, compare - 1), colour_breakpoint);

    click("clearBreakpoints");
    EXPECT_FALSE(marked(0, compare - 1));
    EXPECT_FALSE(marked(0, stop - 1));
    EXPECT_EQ(listingColour(0, compare - 1), colour_current_line);
    EXPECT_EQ(listingColour(0, stop - 1), colour_default);
    EXPECT_EQ(hexColour(hexLineOf(0x0A)), colour_current_line);
    EXPECT_EQ(hexColour(hexLineOf(0x18)), colour_default);
    EXPECT_EQ(debugger().table.at(0x18).bpFlag, 0);
}

TEST_F(DebuggerPage, TheRegisterDisplayShowsTheChipAndStartsAfreshWithDebugMode) {
    buildCounting();
    showDebuggerPage();
    click("singleStepButton"); // move x, 5
    EXPECT_EQ(text("xValue"), "0x000005");
    EXPECT_EQ(text("yValue"), "0x000000");
    EXPECT_EQ(text("hb0Value"), "0x000000");
    EXPECT_EQ(text("hb0Decimal"), "(0 d)");
    EXPECT_EQ(text("ramAddressValue"), "0x00");
    EXPECT_EQ(text("ramContentValue"), "0x000000");
    EXPECT_EQ(text("lastAddressValue"), "0x0004");
    EXPECT_FALSE(find<Lamp>("signumLamp")->isOn());
    EXPECT_TRUE(find<Lamp>("notEqualLamp")->isOn()); // x is not 0
    EXPECT_EQ(text("prevRamAddressValue"), "");      // nothing shown before

    putCursor(0, lineOf("stop"));
    click("runToCursorButton"); // move r, 9 wrote RAM cell 0: "Last address" shows the old one
    EXPECT_EQ(text("ramContentValue"), "0x000009");
    EXPECT_EQ(text("prevRamAddressValue"), "0x00");
    EXPECT_EQ(text("prevRamContentValue"), "0x000000");

    click("newDebugCycleButton");
    for (const char* value : {"xValue", "yValue", "zValue", "hb0Value", "lastAddressValue"})
        EXPECT_EQ(text(value), "--") << value;
    EXPECT_EQ(text("prevRamAddressValue"), "");
    EXPECT_FALSE(find<Lamp>("notEqualLamp")->isOn());
}

TEST_F(DebuggerPage, TheEndOfTheProgramBlinksTheHexLineOfItsLastByte) {
    build("\tmove x, 5\n\tstop\n"); // 5 bytes: the stop at lastIndex - 1, then the fill byte
    setSetting(&Settings::suppressEofPopup, 0);
    showDebuggerPage();
    click("singleStepButton"); // onto the stop: the chip stays there for good
    EXPECT_EQ(popups.titles(), "ivra-ASM Info 218");
    const LineBlink& blink = page().screen().blink();
    ASSERT_TRUE(blink.running());
    const int last = hexLineOf(debugger().program.lastIndex);
    EXPECT_EQ(blink.line(), last);
    EXPECT_TRUE(blink.timer().isActive());
    EXPECT_EQ(blink.timer().interval(), 600);
    EXPECT_EQ(hexColour(last), colour_current_line);
    EXPECT_EQ(listingColour(0, lineOf("stop") - 1), colour_default); // the marks are cleared

    // While it blinks a run to a breakpoint does not start.
    clearWire();
    click("runToBreakpointButton");
    EXPECT_EQ(steps(), 0u);

    LineBlink& blinking = page().screen().blink();
    blinking.advance();
    EXPECT_EQ(hexColour(last), programmer::colour_white);
    blinking.advance();
    EXPECT_EQ(hexColour(last), colour_current_line);
    blinking.advance();
    EXPECT_EQ(hexColour(last), programmer::colour_white);
    blinking.advance();
    EXPECT_FALSE(blink.running());
    EXPECT_FALSE(blink.timer().isActive());
    EXPECT_EQ(hexColour(last), colour_default);
}

TEST_F(DebuggerPage, ALongRunKeepsTheWindowRepaintedButTakesNoInput) {
    build(endless_source);
    setSetting(&Settings::enlargeDebugTimeout, 0);
    showDebuggerPage();
    auto* tabs = find<QTabWidget>("mainTabs");
    int served = 0;
    bool busyCursor = false, progressShown = false;
    QColor pressed;
    // Fires from inside the run, whenever the window is served.
    QTimer during;
    during.setInterval(0);
    QObject::connect(&during, &QTimer::timeout, [&] {
        busyCursor = QApplication::overrideCursor() != nullptr;
        progressShown = progressShown || find<QProgressBar>("runProgress")->isVisible();
        pressed = buttonColour("runToBreakpointButton");
        if (served++ == 0) {
            // The user clicks the Assembler page's tab: nothing happens.
            QTabBar* bar = tabs->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(0).center());
        }
    });
    during.start();
    click("runToBreakpointButton");
    during.stop();
    EXPECT_GT(served, 100);
    EXPECT_TRUE(busyCursor);
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(pressed, running_red);
    EXPECT_EQ(tabs->currentIndex(), debuggerPageIndex);
    // The specified limit still ends it.
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 217");
    EXPECT_GE(clock.now(), std::chrono::seconds(50));
    EXPECT_LT(clock.now(), std::chrono::seconds(52));
    // Afterwards: the button green again, no progress, the normal cursor, input taken.
    EXPECT_EQ(buttonColour("runToBreakpointButton"), run_green);
    EXPECT_FALSE(find<QProgressBar>("runProgress")->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(app->shell().watchdog->isActive());
    // The registers show where the run stopped.
    EXPECT_NE(text("xValue"), "--");
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(0).center());
    EXPECT_EQ(tabs->currentIndex(), assemblerPageIndex);
}

TEST_F(DebuggerPage, TheMenuItemsBringThePageAndRunItsCommands) {
    buildCounting();
    ASSERT_EQ(main().frontPage(), assemblerPageIndex);
    find<QAction>("mDebuggerSingleStep")->trigger(); // F5 from the Assembler page
    EXPECT_EQ(main().frontPage(), debuggerPageIndex);
    EXPECT_EQ(debugger().state.previousAddress, 4);
    main().showAssemblerPage();
    putCursor(0, lineOf("compare"));
    find<QAction>("mDebuggerRunToCursor")->trigger();
    EXPECT_EQ(debugger().state.previousAddress, 0x0A);
    find<QAction>("mDebuggerExitDbgMode")->trigger();
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();

    // Without a build the page shows its hint, and nothing is sent.
    app->build() = BuildOutputs{};
    clearWire();
    find<QAction>("mDebuggerSingleStep")->trigger();
    find<QAction>("mDebuggerRunToBP")->trigger();
    EXPECT_TRUE(shown("debuggerHint"));
    EXPECT_FALSE(shown("singleStepButton"));
    EXPECT_TRUE(nothingSent());
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
}

TEST_F(DebuggerPage, AProgramUsingClk10khzIsNotRun) {
    build("\tclk10khz 1\n\tmove x, 5\n\tstop\n");
    showDebuggerPage();
    for (const char* button : {"singleStepButton", "runToBreakpointButton"})
        click(button);
    putCursor(0, 2);
    click("runToCursorButton");
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 227|ivra-ASM Warning 227|ivra-ASM Warning 227");
    EXPECT_TRUE(nothingSent());
    EXPECT_FALSE(find<Lamp>("debugLamp")->isOn());
}

TEST_F(DebuggerPage, BuildsDownloadsAndQuitEndTheDebugSession) {
    buildCounting();
    showDebuggerPage();
    ASSERT_EQ(app->debugModeControl(), &debugger());
    click("singleStepButton");
    ASSERT_TRUE(chipInDebugMode());
    // A download ends it first.
    app->debugModeControl()->endDebugSession();
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_FALSE(find<Lamp>("debugLamp")->isOn());
    EXPECT_EQ(listingColour(0, lineOf("incr x") - 1), colour_default);

    // A build of a changed source: the page shows the new program when it comes up.
    build(QString(counting_source).replace("move x, 5", "move x, 6"), {{"tail.h", counting_tail}});
    app->endDebugSession();
    showDebuggerPage();
    EXPECT_TRUE(listing(0)->text().contains("move x, 6"));
    click("singleStepButton");
    EXPECT_EQ(text("xValue"), "0x000006");

    // Another program selected: the session of the old one ends.
    QFile::copy(path("prog.hex"), path("copy.hex"));
    QFile::copy(path("prog.dbg"), path("copy.dbg"));
    app->build().hexFilePath = path("copy.hex");
    app->build().dbgFilePath = path("copy.dbg");
    showDebuggerPage();
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_EQ(text("dbgHexFileName"), path("copy.hex"));
    click("singleStepButton");
    ASSERT_TRUE(chipInDebugMode());

    EXPECT_TRUE(Quit(*app));
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_EQ(app->programmerSession().resourceManager, VI_NULL);
}

// "Get Device Info" and "Reset Interface" close the programmer link when done: a debug session
// holding the link ends first, as before a download, and the next step starts a new one.
TEST_F(DebuggerPage, DeviceInfoAndResetInterfaceEndTheDebugSessionFirst) {
    buildCounting();
    showDebuggerPage();
    for (const char* command : {"mDownloadGetDevInfo", "mDownloadResetInterface"}) {
        click("singleStepButton");
        click("singleStepButton");
        ASSERT_TRUE(chipInDebugMode()) << command;
        ASSERT_EQ(text("xValue"), "0x000006") << command;
        find<QAction>(command)->trigger();
        EXPECT_FALSE(chipInDebugMode()) << command;
        EXPECT_FALSE(find<Lamp>("debugLamp")->isOn()) << command;
        showDebuggerPage();
        click("singleStepButton");
        EXPECT_TRUE(chipInDebugMode()) << command;
        EXPECT_EQ(text("xValue"), "0x000005") << command;
        app->endDebugSession();
        EXPECT_FALSE(chipInDebugMode()) << command;
        EXPECT_TRUE(popups.shown.isEmpty()) << command << popups.titles().toStdString();
        showDebuggerPage();
    }
    EXPECT_TRUE(
        find<QPlainTextEdit>("downloadMessages")->toPlainText().contains("Devices found: 1"));
}

// A path too long for its label is shortened in the middle: the file's name stays in view,
// and the whole path is the label's tooltip.
TEST_F(DebuggerPage, LongPathsKeepTheFileNameInViewAndTellTheWholePathAsTooltip) {
    const QString folder = QString("a_folder_with_a_rather_long_name_").repeated(4);
    writeFile(folder + "/prog.asm", counting_source);
    writeFile(folder + "/tail.h", counting_tail);
    assemble(folder + "/prog.asm");
    showDebuggerPage();
    find<QTabWidget>("listingTabs")->setCurrentIndex(0);
    const QString hex = path(folder + "/prog.hex");
    const QMap<const char*, QString> labels{{"listingName", path(folder + "/prog.asm")},
                                            {"dbgHexFileName", hex}};
    for (auto it = labels.begin(); it != labels.end(); ++it) {
        auto* label = find<QLabel>(it.key());
        EXPECT_TRUE(label->text().endsWith("/prog" + it.value().right(4))) << it.key();
        EXPECT_NE(label->text(), it.value()) << it.key();
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << it.key();
        EXPECT_EQ(label->toolTip(), it.value()) << it.key();
    }
    find<QAction>("mViewDownload")->trigger();
    auto* hexName = find<QLabel>("hexFileName");
    EXPECT_TRUE(hexName->text().endsWith("/prog.hex"));
    EXPECT_EQ(hexName->toolTip(), hex);

    // A short path is shown whole, without a tooltip.
    buildCounting();
    showDebuggerPage();
    EXPECT_EQ(text("dbgHexFileName"), path("prog.hex"));
    EXPECT_EQ(find<QLabel>("dbgHexFileName")->toolTip(), "");
}

// A language switch replaces the window: the page in front shows the program again, and the
// old window's debug session does not outlive it.
TEST_F(DebuggerPage, ALanguageSwitchShowsTheProgramOnThePageInFrontAndEndsTheSession) {
    buildCounting();
    showDebuggerPage();
    click("singleStepButton");
    ASSERT_TRUE(chipInDebugMode());

    find<QAction>("mToolsLanguagesChinese")->trigger();
    settle();
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_EQ(find<QTabWidget>("mainTabs")->currentIndex(), 1);
    ASSERT_EQ(page().listings().count(), 2);
    EXPECT_EQ(listing(0)->text(), counting_source);
    EXPECT_EQ(hexView()->text(), QString::fromUtf8(readFile("prog.hex")));
    EXPECT_TRUE(find<QWidget>("singleStepButton")->isVisibleTo(window()));
    click("singleStepButton");
    EXPECT_TRUE(chipInDebugMode());
    EXPECT_EQ(text("xValue"), "0x000005");

    find<QTabWidget>("mainTabs")->setCurrentIndex(2);
    find<QAction>("mToolsLanguagesEnglish")->trigger();
    settle();
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_EQ(find<QTabWidget>("mainTabs")->currentIndex(), 2);
    EXPECT_EQ(find<QsciScintilla>("hexView")->text(), QString::fromUtf8(readFile("prog.hex")));
    EXPECT_EQ(text("hexFileName"), path("prog.hex"));
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
}

// The two pages share one programmer: the debugger's open reports in the Download page's
// message box, and a download from the Download page ends the debug session before it opens.
TEST_F(DebuggerPage, TheDownloadPageShowsTheDebuggersOpenAndItsDownloadEndsTheSession) {
    buildCounting();
    showDebuggerPage();
    click("singleStepButton");
    ASSERT_TRUE(chipInDebugMode());
    auto* messages = find<QPlainTextEdit>("downloadMessages");
    ASSERT_NE(messages, nullptr);
    EXPECT_TRUE(messages->toPlainText().contains("KZ71 programmer found"))
        << messages->toPlainText().toStdString();

    clearWire();
    find<QPushButton>("downloadButton")->click();
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_FALSE(find<Lamp>("debugLamp")->isOn());
    const std::vector<std::string> sent = wire();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), "OUT B0 0088 0000 []"); // debug mode is left before anything else
    EXPECT_EQ(find<QLabel>("statusText")->text(), "SUCCESS");
}

TEST_F(DebuggerPage, ASourceThatCannotBeReadIsNamedAndTheOthersShow) {
    buildCounting();
    QFile::remove(path("tail.h"));
    showDebuggerPage();
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown.front().title, "info");
    EXPECT_EQ(popups.shown.front().text, "status < 0, 4\ntail.h: it does not exist");
    EXPECT_EQ(listing(0)->text(), counting_source);
    EXPECT_EQ(listing(1)->text(), "");
}

TEST_F(DebuggerPage, ASourceEditedAfterTheBuildIsToldOnce) {
    buildCounting();
    QFile source(path("tail.h"));
    ASSERT_TRUE(source.open(QIODevice::ReadWrite));
    ASSERT_TRUE(source.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                   QFileDevice::FileModificationTime));
    source.close();
    showDebuggerPage();
    ASSERT_EQ(popups.titles(), "ivra-ASM Info 229");
    EXPECT_TRUE(popups.shown.front().text.contains(path("tail.h")));
    click("singleStepButton");
    click("singleStepButton");
    EXPECT_EQ(popups.titles(), "ivra-ASM Info 229");
}

} // namespace
} // namespace ide::test
