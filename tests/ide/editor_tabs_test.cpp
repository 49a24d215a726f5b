#include "editor_tabs.h"
#include "ide_fixture.h"
#include "main_window.h"
#include "panel_loader.h"
#include "settings.h"
#include "shell_state.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMainWindow>
#include <QTabWidget>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

class EditorTabs : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(start(), StartResult::mainWindow);
    }
    // Opens files through File/Open with a scripted dialog.
    void open(const QString& file) {
        dialogs.choices.push_back({1, {file}});
        mFileOpen();
    }
};

TEST_F(EditorTabs, NewPicksTheFirstFreeUntitledNameInTheFolderOfThePreviousTab) {
    mFileNew();
    ASSERT_EQ(editorTabCount(), 2);
    EXPECT_EQ(editorTabLabel(1), "untitled1.asm");
    EXPECT_EQ(editorTab(1).path, "untitled1.asm");
    open(writeFile("src/main.asm", "nop\n"));
    mFileNew();
    ASSERT_EQ(editorTabCount(), 4);
    EXPECT_EQ(editorTabLabel(3), "untitled2.asm");
    EXPECT_EQ(editorTab(3).path, path("src/untitled2.asm"));
    EXPECT_EQ(currentFileText(), path("src/untitled2.asm"));
    EXPECT_EQ(activeEditorTab(), 3);
    EXPECT_FALSE(hasMainFileMark(3));
    EXPECT_FALSE(editorOf(3)->isModified());
    EXPECT_FALSE(QFile::exists(path("src/untitled2.asm")));
    EXPECT_EQ(editorOf(3)->lines(), 10);
    EXPECT_EQ(editorOf(3)->text(1), ";\tFile: untitled2.asm\n");
    EXPECT_EQ(editorOf(3)->text(9), "; --- EOF ---");
}

TEST_F(EditorTabs, OpenLoadsAFileOnceAndMarksTheFirstAsmFile) {
    const QString main = writeFile("work/main.asm", "; main\r\nnop\r\n");
    open(main);
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].title, "Open File");
    EXPECT_EQ(dialogs.requests[0].filters, QStringList{"*.asm; *.h"});
    EXPECT_EQ(dialogs.requests[0].start, ""); // "untitled.asm" has no folder
    ASSERT_EQ(editorTabCount(), 2);
    EXPECT_EQ(editorText(1), "; main\r\nnop\r\n");
    EXPECT_EQ(editorTabLabel(1), "main.asm");
    EXPECT_EQ(currentFileText(), main);
    EXPECT_FALSE(hasMainFileMark(1)); // the untitled file carries the mark

    open(main);
    EXPECT_EQ(editorTabCount(), 2);
    EXPECT_EQ(dialogs.requests.last().start, path("work/"));
    activateEditorTab(0);
    open(main);
    EXPECT_EQ(activeEditorTab(), 1);
    open(path("work/../work/main.asm")); // another spelling is another tab
    EXPECT_EQ(editorTabCount(), 3);
}

TEST_F(EditorTabs, OnlyALowerCaseAsmExtensionTakesAFreeMainFileMark) {
    setMainFileMark(0, false);
    open(writeFile("upper.ASM", "nop\n"));
    EXPECT_FALSE(hasMainFileMark(1));
    open(writeFile("defs.h", "CONST a 1\n"));
    EXPECT_FALSE(hasMainFileMark(2));
    open(writeFile("lower.asm", "nop\n"));
    EXPECT_TRUE(hasMainFileMark(3));
    open(writeFile("second.asm", "nop\n"));
    EXPECT_FALSE(hasMainFileMark(4));
}

TEST_F(EditorTabs, OpenFailuresAndMultipleFiles) {
    dialogs.choices = {{-4, {}}};
    mFileOpen();
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 30");
    EXPECT_TRUE(popups.shown[0].text.startsWith(
        "Opening file failed!\nPlease try again. (Return value -4)\n"));
    mFileOpen(); // cancelled
    EXPECT_EQ(editorTabCount(), 1);

    const QString a = writeFile("a.asm", "a\n"), b = writeFile("b.h", "b\n");
    open(a);
    dialogs.choices = {{1, {b, a, path("missing.asm")}}};
    mFileOpenMult();
    EXPECT_EQ(dialogs.requests.last().title, "Open Multiple Files");
    ASSERT_EQ(editorTabCount(), 4);
    EXPECT_EQ(editorTabLabel(2), "b.h");
    EXPECT_EQ(editorTabLabel(3), "missing.asm");
    EXPECT_EQ(editorText(3), ""); // an unreadable file leaves an empty editor with its name
    EXPECT_EQ(editorTab(3).path, path("missing.asm"));
}

TEST_F(EditorTabs, SaveWritesTheFileOrAsksForANameAfterWaitingForIt) {
    const QString file = writeFile("prog.asm", "nop\n");
    open(file);
    editorOf(1)->append("stop\n");
    mFileSave();
    EXPECT_EQ(readFile(file), "nop\nstop\n");
    EXPECT_FALSE(editorOf(1)->isModified());
    EXPECT_TRUE(dialogs.requests.size() == 1); // only the Open dialog

    activateEditorTab(0); // untitled.asm does not exist: 5 s wait, then Save As
    const auto before = clock.now();
    const QString named = path("named.asm");
    dialogs.choices = {{1, {named}}};
    mFileSave();
    EXPECT_GE(clock.now() - before, std::chrono::seconds(5));
    ASSERT_EQ(dialogs.requests.size(), 2);
    EXPECT_EQ(dialogs.requests[1].title, "Save File As...");
    EXPECT_EQ(dialogs.requests[1].filters, (QStringList{"*.asm; *.h", "*.asm; *.txt"}));
    EXPECT_EQ(dialogs.requests[1].start, "untitled.asm");
    EXPECT_EQ(editorTab(0).path, named);
    EXPECT_EQ(editorTabLabel(0), "named.asm");
    EXPECT_EQ(currentFileText(), named);
    EXPECT_TRUE(hasMainFileMark(0)); // Save As keeps the mark
    EXPECT_TRUE(readFile(named).startsWith(";----"));
    EXPECT_TRUE(popups.shown.isEmpty());
}

TEST_F(EditorTabs, SaveAsFailuresAreReported) {
    dialogs.choices = {{1, {path("no/such/folder/x.asm")}}};
    mFileSaveAs();
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 31");
    EXPECT_TRUE(popups.shown[0].text.startsWith(
        "Saving of file failed!\nPlease try again. (Return value "));
    dialogs.choices = {{-1, {}}};
    mFileSaveAs();
    EXPECT_EQ(popups.titles(), "ivra-ASM Error 31|ivra-ASM Error 31");
    mFileSaveAs(); // cancelled: nothing changes, nothing is said
    EXPECT_EQ(popups.shown.size(), 2);
}

TEST_F(EditorTabs, TextIsSavedWithoutLosingCharacters) {
    const QString file = writeFile("text.asm", "; caf\xe9\n"); // Latin-1
    open(file);
    EXPECT_EQ(editorText(1), QString::fromUtf8("; café\n"));
    editorOf(1)->append("; ok\n");
    mFileSave();
    EXPECT_EQ(readFile(file), "; caf\xe9\n; ok\n");
    editorOf(1)->append(QString::fromUtf8("; 中\n"));
    mFileSave(); // Latin-1 cannot hold it: UTF-8 rather than a lost character
    EXPECT_EQ(readFile(file), QString::fromUtf8("; café\n; ok\n; 中\n").toUtf8());
    settings().multibyte = 1;
    editorOf(1)->setText(QString::fromUtf8("; café\n"));
    mFileSave();
    EXPECT_EQ(readFile(file), QString::fromUtf8("; café\n").toUtf8());
}

TEST_F(EditorTabs, CloseMovesTheMarkToTheRemainingAsmFiles) {
    open(writeFile("a.asm", "a\n"));
    open(writeFile("b.h", "b\n"));
    open(writeFile("c.asm", "c\n"));
    activateEditorTab(0); // the marked untitled file
    mFileClose();
    ASSERT_EQ(editorTabCount(), 3);
    EXPECT_EQ(activeEditorTab(), 0);
    EXPECT_EQ(editorTabLabel(0), "a.asm");
    EXPECT_EQ(currentFileText(), path("a.asm"));
    EXPECT_TRUE(hasMainFileMark(0));
    EXPECT_FALSE(hasMainFileMark(1));
    EXPECT_TRUE(hasMainFileMark(2));
    activateEditorTab(2);
    mFileClose();
    EXPECT_EQ(activeEditorTab(), 1);
    EXPECT_EQ(editorTabLabel(1), "b.h");
    EXPECT_EQ(editorTab(1).path, path("b.h"));
    EXPECT_TRUE(popups.shown.isEmpty());
}

TEST_F(EditorTabs, ClosingAModifiedTabAsksFirst) {
    editorOf(0)->setText("nop\n");
    popups.answers = {answerCancel};
    mFileClose();
    EXPECT_EQ(editorText(0), "nop\n");
    popups.answers = {answerNo};
    mFileClose(); // the only tab: it gets the untitled template again
    EXPECT_EQ(popups.titles(), "Save Changes|Save Changes");
    EXPECT_TRUE(editorText(0).startsWith(";----"));
    EXPECT_EQ(editorTab(0).path, "untitled.asm");

    open(writeFile("b.asm", "b\n"));
    editorOf(1)->append("stop\n");
    showPage(2);
    popups.answers = {answerYes};
    mFileClose(); // Close acts from any page and leaves that page in front
    EXPECT_EQ(editorTabCount(), 1);
    EXPECT_EQ(readFile(path("b.asm")), "b\nstop\n");
    EXPECT_EQ(frontPage(), 2);
}

TEST_F(EditorTabs, EditCommandsActOnTheActiveTabOfTheAssemblerPage) {
    open(writeFile("a.asm", "first\n"));
    open(writeFile("b.asm", "second\n"));
    editorOf(0)->selectAll();
    editorOf(2)->setSelection(0, 0, 0, 6);
    mEditCut();
    EXPECT_EQ(editorText(2), "\n");
    EXPECT_TRUE(editorText(0).startsWith(";----"));
    EXPECT_EQ(QApplication::clipboard()->text(), "second");
    activateEditorTab(1);
    editorOf(1)->setCursorPosition(1, 0);
    mEditPaste();
    EXPECT_EQ(editorText(1), "first\nsecond");
    mEditUndo();
    EXPECT_EQ(editorText(1), "first\n");
    mEditRedo();
    EXPECT_EQ(editorText(1), "first\nsecond");

    control<QTabWidget>(window(), "mainTabs")->setCurrentIndex(1); // the user's click
    // nothing happens while another page is in front
    mEditUndo();
    mFileNew();
    EXPECT_EQ(editorText(1), "first\nsecond");
    EXPECT_EQ(editorTabCount(), 3);
}

TEST_F(EditorTabs, TabAndPathLimitsAreGuarded) {
    for (int i = 1; i < max_editor_tabs; ++i)
        mFileNew();
    EXPECT_EQ(editorTabCount(), 50);
    EXPECT_TRUE(popups.shown.isEmpty());
    mFileNew();
    open(writeFile("more.asm", "nop\n"));
    EXPECT_EQ(editorTabCount(), 50);
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 32|ivra-ASM Warning 32");
    EXPECT_TRUE(popups.shown[0].text.startsWith("Too many files are open."));

    while (editorTabCount() > 1)
        mFileClose();
    popups.shown.clear();
    const QString longPath = "/" + QString(max_path_chars, 'p') + ".asm";
    open(longPath);
    EXPECT_EQ(editorTabCount(), 1);
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 33");
}

TEST_F(EditorTabs, PrintUsesTheActiveEditorOrTheShownHexView) {
    mFilePrint();
    ASSERT_EQ(dialogs.printed.size(), 1);
    EXPECT_EQ(dialogs.printed[0], editorOf(0));
    showPage(1);
    mFilePrint();
    showPage(2);
    mFilePrint(); // no hex file shown
    EXPECT_EQ(dialogs.printed.size(), 1);
    auto* hex = control<QsciScintilla>(window(), "hexView");
    hex->show();
    mFilePrint();
    ASSERT_EQ(dialogs.printed.size(), 2);
    EXPECT_EQ(dialogs.printed[1], hex);
    EXPECT_EQ(frontPage(), 2);
}

TEST_F(EditorTabs, EditorSettingsReachEveryTab) {
    mFileNew();
    for (int tab : {0, 1}) {
        EXPECT_GT(editorOf(tab)->marginWidth(0), 0);
        EXPECT_NE(editorOf(tab)->lexer(), nullptr);
        EXPECT_EQ(editorOf(tab)->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE,
                                               QsciScintillaBase::STYLE_LINENUMBER),
                  0x808080);
    }
    settings().lineNumbering = 0;
    settings().syntaxHighlighting = 0;
    settings().lineNumberingGray = 0;
    for (int tab : {0, 1}) {
        applyEditorSettings(tab);
        EXPECT_EQ(editorOf(tab)->marginWidth(0), 0);
        EXPECT_EQ(editorOf(tab)->lexer(), nullptr);
        EXPECT_EQ(editorOf(tab)->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE,
                                               QsciScintillaBase::STYLE_LINENUMBER),
                  0);
    }
}

} // namespace
} // namespace ide::test
