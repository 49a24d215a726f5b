// The menu tree with its mnemonics and keys, the toolbar's 35 positions, and that every menu
// item, toolbar button and key runs the command its name stands for.
#include "ide_fixture.h"
#include "shell/commands.h"
#include "shell/main_window.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

// Every command a menu item, button or key ran, in order.
struct Probe : QObject {
    QStringList ran;
    void defineAll(CommandTable& commands) {
        // Defined and available: a feature may have dimmed its command (Read & Verify).
        for (const QString& name : CommandTable::menuCommands()) {
            commands.define(name, this, [this, name] { ran << name; });
            commands.setAvailable(name, true);
        }
    }
};

// One line per item: "text|shortcut|command", "-" for a separator, a submenu's title ending
// in ">" before its items (indented).
void describe(const QMenu& menu, QStringList& lines, const QString& indent = {}) {
    for (QAction* action : menu.actions()) {
        if (action->isSeparator())
            lines << indent + "-";
        else if (QMenu* sub = action->menu()) {
            lines << indent + sub->title() + ">";
            describe(*sub, lines, indent + "  ");
        } else
            lines << indent + QString("%1|%2|%3")
                                  .arg(action->text(), action->shortcut().toString(),
                                       action->objectName());
    }
}

const QStringList menu_tree = {
    "&File>",
    "  &New|Ctrl+N|mFileNew",
    "  &Open|Ctrl+O|mFileOpen",
    "  Open Multiple Files||mFileOpenMult",
    "  &Save|Ctrl+S|mFileSave",
    "  Save &As...||mFileSaveAs",
    "  -",
    "  &Print...|Ctrl+P|mFilePrint",
    "  &Close|Ctrl+W|mFileClose",
    "  -",
    "  &Open Project|Ctrl+Shift+O|mOpenProject",
    "  &Save Project|Ctrl+Shift+S|mSaveProject",
    "  -",
    "  Exit||mFileExit",
    "&Edit>",
    "  Cut||mEditCut",
    "  Copy||mEditCopy",
    "  Paste||mEditPaste",
    "  -",
    "  Undo|Ctrl+Z|mEditUndo",
    "  Redo|Ctrl+Y|mEditRedo",
    "  -",
    "  Find|Ctrl+F|mEditFind",
    "  Find && Replace|Ctrl+H|mEditFindReplace",
    "&View>",
    "  Assembler||mViewAssembler",
    "  Debugger||mViewDebugger",
    "  Download||mViewDownload",
    "&Assembler>",
    "  Compile|Ctrl+F6|mAssemblerCompile",
    "  -",
    "  Version-Info||mAssemblerVerInfo",
    "&Debugger>",
    "  Run To Breakpoint|F6|mDebuggerRunToBP",
    "  Run To Cursor|F7|mDebuggerRunToCursor",
    "  Single Step|F5|mDebuggerSingleStep",
    "  Exit Debug Mode|Enter|mDebuggerExitDbgMode",
    "  -",
    "  Version-Info||mDebuggerVerInfo",
    "D&ownload>",
    "  Get Device Info||mDownloadGetDevInfo",
    "  Download Hex-File|Ctrl+F4|mDownloadHexFile",
    "  Read && Verify||mDownloadRdVerify",
    "  Select Hex-File||mDownloadSelHexFile",
    "  Reset Interface||mDownloadResetInterface",
    "&Tools>",
    "  Settings||mToolsSettings",
    "  Resolution>",
    "    800x600||toolsResolution800",
    "    1024x768 +||toolsResolution1024",
    "  Languages>",
    "    English|F11|mToolsLanguagesEnglish",
    "    Chinese|F12|mToolsLanguagesChinese",
    "&Help>",
    "  Search Examples|F4|mHelpSearchExamples",
    "  -",
    "  Opcode Help|F2|mHelpOpcodeHelp",
    "  Help Contents|F1|mHelpContents",
    "  -",
    "  About ivra-ASM|F10|mHelpAbout",
};

// Positions 1 to 35: "tooltip|command|icon", "-" for a separator.
const QStringList toolbar_positions = {
    "New File|mFileNew|document-new.png",
    "Open File|mFileOpen|document-open.png",
    "Print File|mFilePrint|printer.png",
    "Save File|mFileSave|media-floppy.png",
    "-",
    "Open Project|mOpenProject|folder-open.png",
    "Save Project|mSaveProject|document-save.png",
    "-",
    "Cut|mEditCut|edit-cut.png",
    "Copy|mEditCopy|edit-copy.png",
    "Paste|mEditPaste|edit-paste.png",
    "-",
    "Find|mEditFind|edit-find.png",
    "Find & Replace|mEditFindReplace|edit-find-replace.png",
    "-",
    "Undo|mEditUndo|edit-undo.png",
    "Redo|mEditRedo|edit-redo.png",
    "-",
    "Compile|mAssemblerCompile|media-playback-start-green-gradient.png",
    "Download|mDownloadHexFile|go-bottom.png",
    "-",
    "Run To Breakpoint|mDebuggerRunToBP|process-stop.png",
    "Run To Cursor|mDebuggerRunToCursor|run-to-cursor.png",
    "Single Step|mDebuggerSingleStep|start-here.png",
    "Exit Debug Mode|mDebuggerExitDbgMode|exit.png",
    "-",
    "Settings|mToolsSettings|preferences-system.png",
    "-",
    "Search Examples|mHelpSearchExamples|dialog-information.png",
    "-",
    "Language|mToolsLanguagesChinese|lang-cn.png",
    "-",
    "Exit Application|mFileExit|system-log-out.png",
    "-",
    "Close File|mFileClose|image-missing.png",
};

class MenuTree : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(start(), StartResult::mainWindow);
        bar = window()->findChild<QToolBar*>("asmToolbar");
        ASSERT_NE(bar, nullptr);
    }
    // The icon file among the installed icons whose picture the action shows, or "?".
    static QString iconFile(const QAction& action) {
        const QImage shown = action.icon().pixmap(22, 22).toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
        const QString folder = QString(KZ71_BIN_DIR) + "/icons/";
        for (const QString& name : QDir(folder).entryList({"*.png"})) {
            const QImage file =
                QImage(folder + name).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            if (!shown.isNull() && file == shown) return name;
        }
        return "?";
    }
    QToolBar* bar = nullptr;
};

TEST_F(MenuTree, TheMenusHoldTheirItemsWithMnemonicsAndKeys) {
    QStringList lines;
    for (QAction* top : window()->menuBar()->actions()) {
        lines << top->menu()->title() + ">";
        describe(*top->menu(), lines, "  ");
    }
    EXPECT_EQ(lines, menu_tree);
    // Every command of the table has its menu item, and no item lacks a command name.
    QStringList names;
    for (const QString& line : lines)
        if (line.count('|') == 2) names << line.section('|', 2);
    EXPECT_EQ(names, CommandTable::menuCommands());
}

TEST_F(MenuTree, TheToolbarHasItsThirtyFivePositionsWithTextsAndIcons) {
    EXPECT_EQ(bar->windowTitle(), "ASM Toolbar");
    EXPECT_EQ(bar->iconSize(), QSize(22, 22));
    EXPECT_EQ(bar->geometry().topLeft(), QPoint(0, window()->menuBar()->height()));
    QStringList positions;
    for (QAction* action : bar->actions())
        positions << (action->isSeparator()
                          ? QString("-")
                          : QString("%1|%2|%3")
                                .arg(action->toolTip(), action->objectName(), iconFile(*action)));
    EXPECT_EQ(positions, toolbar_positions);
}

TEST_F(MenuTree, EveryMenuItemAndToolbarButtonRunsItsCommand) {
    Probe probe;
    probe.defineAll(app->commands());
    QStringList triggered;
    for (const QString& name : CommandTable::menuCommands()) {
        find<QAction>(qPrintable(name))->trigger();
        triggered << name;
    }
    EXPECT_EQ(probe.ran, triggered);

    probe.ran.clear();
    QStringList clicked;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) continue;
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        ASSERT_NE(button, nullptr) << qPrintable(action->objectName());
        EXPECT_TRUE(button->isVisible()) << qPrintable(action->objectName());
        QTest::mouseClick(button, Qt::LeftButton);
        clicked << action->objectName();
    }
    EXPECT_EQ(clicked.size(), 24);
    EXPECT_EQ(probe.ran, clicked);
}

// The keys of the window's menu items, wherever the focus is in the window. Undo and Redo in
// an editor are that editor's own.
TEST_F(MenuTree, EveryKeyRunsItsCommand) {
    Probe probe;
    probe.defineAll(app->commands());
    QsciScintilla* editor = editorOf(0);
    for (QWidget* focus : {find<QWidget>("exitButton"), static_cast<QWidget*>(editor)}) {
        focus->setFocus();
        probe.ran.clear();
        QStringList expected;
        for (const QString& name : CommandTable::menuCommands()) {
            QAction* action = find<QAction>(qPrintable(name));
            if (action->shortcut().isEmpty() || action->shortcutContext() != Qt::WindowShortcut)
                continue;
            if (focus == editor && (name == "mEditUndo" || name == "mEditRedo")) continue;
            QTest::keySequence(focus, action->shortcut());
            expected << name;
        }
        EXPECT_EQ(expected.size(), focus == editor ? 20 : 22);
        EXPECT_EQ(probe.ran, expected) << qPrintable(focus->objectName());
    }
    editor->setText("nop");
    editor->setCursorPosition(0, 3);
    QTest::keyClicks(editor, " ; first");
    QTest::keySequence(editor, QKeySequence("Ctrl+Z"));
    EXPECT_EQ(editor->text(), "nop");
    QTest::keySequence(editor, QKeySequence("Ctrl+Y"));
    EXPECT_EQ(editor->text(), "nop ; first");
}

TEST_F(MenuTree, EnterLeavesDebugModeOnTheDebuggerPageOnly) {
    Probe probe;
    probe.defineAll(app->commands());
    QsciScintilla* editor = editorOf(0);
    editor->setText("nop");
    editor->setCursorPosition(0, 3);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(probe.ran, QStringList());
    EXPECT_EQ(editor->lines(), 2); // the key broke the line

    find<QAction>("mViewDebugger")->trigger();
    main().showPage(debuggerPageIndex);
    QWidget* listing = find<QWidget>("listingEditor0");
    listing->setFocus();
    probe.ran.clear();
    QTest::keyClick(listing, Qt::Key_Return);
    QTest::keyClick(listing, Qt::Key_Enter);
    EXPECT_EQ(probe.ran, QStringList({"mDebuggerExitDbgMode", "mDebuggerExitDbgMode"}));
}

} // namespace
} // namespace ide::test
