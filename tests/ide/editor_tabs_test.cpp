#include "app/shell_state.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"
#include "settings/settings.h"
#include "shell/main_window.h"
#include "shell/panel_loader.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
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
        tabs().mFileOpen();
    }
};

TEST_F(EditorTabs, NewPicksTheFirstFreeUntitledNameInTheFolderOfThePreviousTab) {
    tabs().mFileNew();
    ASSERT_EQ(tabs().editorTabCount(), 2);
    EXPECT_EQ(tabs().editorTabLabel(1), "untitled1.asm");
    EXPECT_EQ(tabs().editorTab(1).path, "untitled1.asm");
    open(writeFile("src/main.asm", "nop\n"));
    tabs().mFileNew();
    ASSERT_EQ(tabs().editorTabCount(), 4);
    EXPECT_EQ(tabs().editorTabLabel(3), "untitled2.asm");
    EXPECT_EQ(tabs().editorTab(3).path, path("src/untitled2.asm"));
    EXPECT_EQ(tabs().currentFileText(), path("src/untitled2.asm"));
    EXPECT_EQ(tabs().activeEditorTab(), 3);
    EXPECT_FALSE(tabs().hasMainFileMark(3));
    EXPECT_FALSE(editorOf(3)->isModified());
    EXPECT_FALSE(QFile::exists(path("src/untitled2.asm")));
    EXPECT_EQ(editorOf(3)->lines(), 10);
    EXPECT_EQ(editorOf(3)->text(1), ";\tFile: untitled2.asm\n");
    EXPECT_EQ(editorOf(3)->text(9), "; --- EOF ---");
}

// A path too long for the current-file text keeps the file's name in view, also after the
// window narrowed; the whole path is the tooltip.
TEST_F(EditorTabs, ALongCurrentFileKeepsItsNameInView) {
    const QString file = writeFile(QString("folder_").repeated(20) + "/main.asm", "nop\n");
    open(file);
    auto* label = find<QLabel>("currentFileText");
    const auto shownWhole = [label] {
        return label->fontMetrics().horizontalAdvance(label->text()) <=
               label->contentsRect().width();
    };
    EXPECT_EQ(tabs().currentFileText(), file);
    EXPECT_TRUE(label->text().endsWith("/main.asm"));
    EXPECT_TRUE(shownWhole());
    window()->resize(800, 600);
    settle();
    EXPECT_TRUE(label->text().endsWith("/main.asm"));
    EXPECT_NE(label->text(), file);
    EXPECT_TRUE(shownWhole());
    EXPECT_EQ(label->toolTip(), file);
}

TEST_F(EditorTabs, OpenLoadsAFileOnceAndMarksTheFirstAsmFile) {
    const QString main = writeFile("work/main.asm", "; main\r\nnop\r\n");
    open(main);
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].title, "Open File");
    EXPECT_EQ(dialogs.requests[0].filters, QStringList{"*.asm; *.h"});
    EXPECT_EQ(dialogs.requests[0].start, ""); // "untitled.asm" has no folder
    ASSERT_EQ(tabs().editorTabCount(), 2);
    EXPECT_EQ(editorText(1), "; main\r\nnop\r\n");
    EXPECT_EQ(tabs().editorTabLabel(1), "main.asm");
    EXPECT_EQ(tabs().currentFileText(), main);
    EXPECT_FALSE(tabs().hasMainFileMark(1)); // the untitled file carries the mark

    open(main);
    EXPECT_EQ(tabs().editorTabCount(), 2);
    EXPECT_EQ(dialogs.requests.last().start, path("work/"));
    tabs().activateEditorTab(0);
    open(main);
    EXPECT_EQ(tabs().activeEditorTab(), 1);
    open(path("work/../work/main.asm")); // another spelling is another tab
    EXPECT_EQ(tabs().editorTabCount(), 3);
}

TEST_F(EditorTabs, OnlyALowerCaseAsmExtensionTakesAFreeMainFileMark) {
    tabs().setMainFileMark(0, false);
    open(writeFile("upper.ASM", "nop\n"));
    EXPECT_FALSE(tabs().hasMainFileMark(1));
    open(writeFile("defs.h", "CONST a 1\n"));
    EXPECT_FALSE(tabs().hasMainFileMark(2));
    open(writeFile("lower.asm", "nop\n"));
    EXPECT_TRUE(tabs().hasMainFileMark(3));
    open(writeFile("second.asm", "nop\n"));
    EXPECT_FALSE(tabs().hasMainFileMark(4));
}

TEST_F(EditorTabs, OpenFailuresAndMultipleFiles) {
    dialogs.choices = {{-4, {}}};
    tabs().mFileOpen();
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 30");
    EXPECT_TRUE(popups.shown[0].text.startsWith(
        "Opening file failed!\nPlease try again. (Return value -4)\n"));
    tabs().mFileOpen(); // cancelled
    EXPECT_EQ(tabs().editorTabCount(), 1);

    const QString a = writeFile("a.asm", "a\n"), b = writeFile("b.h", "b\n");
    open(a);
    dialogs.choices = {{1, {b, a, path("missing.asm")}}};
    tabs().mFileOpenMult();
    EXPECT_EQ(dialogs.requests.last().title, "Open Multiple Files");
    ASSERT_EQ(tabs().editorTabCount(), 4);
    EXPECT_EQ(tabs().editorTabLabel(2), "b.h");
    EXPECT_EQ(tabs().editorTabLabel(3), "missing.asm");
    EXPECT_EQ(editorText(3), ""); // an unreadable file leaves an empty editor with its name
    EXPECT_EQ(tabs().editorTab(3).path, path("missing.asm"));
}

TEST_F(EditorTabs, SaveWritesTheFileOrAsksForANameAtOnceForAnUntitledTab) {
    const QString file = writeFile("prog.asm", "nop\n");
    open(file);
    editorOf(1)->append("stop\n");
    tabs().mFileSave();
    EXPECT_EQ(readFile(file), "nop\nstop\n");
    EXPECT_FALSE(editorOf(1)->isModified());
    EXPECT_TRUE(dialogs.requests.size() == 1); // only the Open dialog

    tabs().activateEditorTab(0); // untitled.asm never had a file: Save As without a wait
    const auto before = clock.now();
    const QString named = path("named.asm");
    dialogs.choices = {{1, {named}}};
    tabs().mFileSave();
    EXPECT_EQ(clock.now() - before, std::chrono::seconds(0));
    ASSERT_EQ(dialogs.requests.size(), 2);
    EXPECT_EQ(dialogs.requests[1].title, "Save File As...");
    EXPECT_EQ(dialogs.requests[1].filters, (QStringList{"*.asm; *.h", "*.asm; *.txt"}));
    EXPECT_EQ(dialogs.requests[1].start, "untitled.asm");
    EXPECT_EQ(tabs().editorTab(0).path, named);
    EXPECT_EQ(tabs().editorTabLabel(0), "named.asm");
    EXPECT_EQ(tabs().currentFileText(), named);
    EXPECT_TRUE(tabs().hasMainFileMark(0)); // Save As keeps the mark
    EXPECT_TRUE(readFile(named).startsWith(";----"));
    EXPECT_TRUE(popups.shown.isEmpty());
}

TEST_F(EditorTabs, SaveWaitsForAFileThatWentAwayBeforeAskingForAName) {
    const QString file = writeFile("gone.asm", "nop\n");
    open(file);
    QFile::remove(file); // e.g. on a drive that is reconnecting
    editorOf(1)->append("stop\n");
    const auto before = clock.now();
    tabs().mFileSave(); // the name dialog is cancelled
    EXPECT_GE(clock.now() - before, std::chrono::seconds(5));
    ASSERT_EQ(dialogs.requests.size(), 2);
    EXPECT_EQ(dialogs.requests[1].title, "Save File As...");

    tabs().mFileNew(); // a New tab has no file yet either
    dialogs.choices = {{1, {path("fresh.asm")}}};
    const auto again = clock.now();
    tabs().mFileSave();
    EXPECT_EQ(clock.now() - again, std::chrono::seconds(0));
    EXPECT_TRUE(readFile(path("fresh.asm")).endsWith("; --- EOF ---"));
    EXPECT_EQ(tabs().editorTabLabel(2), "fresh.asm");
}

TEST_F(EditorTabs, SaveAsFailuresAreReported) {
    dialogs.choices = {{1, {path("no/such/folder/x.asm")}}};
    tabs().mFileSaveAs();
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 31");
    EXPECT_TRUE(popups.shown[0].text.startsWith(
        "Saving of file failed!\nPlease try again. (Return value "));
    dialogs.choices = {{-1, {}}};
    tabs().mFileSaveAs();
    EXPECT_EQ(popups.titles(), "ivra-ASM Error 31|ivra-ASM Error 31");
    tabs().mFileSaveAs(); // cancelled: nothing changes, nothing is said
    EXPECT_EQ(popups.shown.size(), 2);
}

TEST_F(EditorTabs, TextIsSavedWithoutLosingCharacters) {
    const QString file = writeFile("text.asm", "; caf\xe9\n"); // Latin-1
    open(file);
    EXPECT_EQ(editorText(1), QString::fromUtf8("; café\n"));
    editorOf(1)->append("; ok\n");
    tabs().mFileSave();
    EXPECT_EQ(readFile(file), "; caf\xe9\n; ok\n");
    editorOf(1)->append(QString::fromUtf8("; 中\n"));
    tabs().mFileSave(); // Latin-1 cannot hold it: UTF-8 rather than a lost character
    EXPECT_EQ(readFile(file), QString::fromUtf8("; café\n; ok\n; 中\n").toUtf8());
    setSetting(&Settings::multibyte, 1);
    editorOf(1)->setText(QString::fromUtf8("; café\n"));
    tabs().mFileSave();
    EXPECT_EQ(readFile(file), QString::fromUtf8("; café\n").toUtf8());
}

TEST_F(EditorTabs, CloseMovesTheMarkToTheRemainingAsmFiles) {
    open(writeFile("a.asm", "a\n"));
    open(writeFile("b.h", "b\n"));
    open(writeFile("c.asm", "c\n"));
    tabs().activateEditorTab(0); // the marked untitled file
    tabs().mFileClose();
    ASSERT_EQ(tabs().editorTabCount(), 3);
    EXPECT_EQ(tabs().activeEditorTab(), 0);
    EXPECT_EQ(tabs().editorTabLabel(0), "a.asm");
    EXPECT_EQ(tabs().currentFileText(), path("a.asm"));
    EXPECT_TRUE(tabs().hasMainFileMark(0));
    EXPECT_FALSE(tabs().hasMainFileMark(1));
    EXPECT_TRUE(tabs().hasMainFileMark(2));
    tabs().activateEditorTab(2);
    tabs().mFileClose();
    EXPECT_EQ(tabs().activeEditorTab(), 1);
    EXPECT_EQ(tabs().editorTabLabel(1), "b.h");
    EXPECT_EQ(tabs().editorTab(1).path, path("b.h"));
    EXPECT_TRUE(popups.shown.isEmpty());
}

TEST_F(EditorTabs, ClosingAModifiedTabAsksFirst) {
    editorOf(0)->setText("nop\n");
    popups.answers = {answerCancel};
    tabs().mFileClose();
    EXPECT_EQ(editorText(0), "nop\n");
    popups.answers = {answerNo};
    tabs().mFileClose(); // the only tab: it gets the untitled template again
    EXPECT_EQ(popups.titles(), "Save Changes|Save Changes");
    EXPECT_TRUE(editorText(0).startsWith(";----"));
    EXPECT_EQ(tabs().editorTab(0).path, "untitled.asm");

    open(writeFile("b.asm", "b\n"));
    editorOf(1)->append("stop\n");
    main().showPage(2);
    popups.answers = {answerYes};
    tabs().mFileClose(); // Close acts from any page and leaves that page in front
    EXPECT_EQ(tabs().editorTabCount(), 1);
    EXPECT_EQ(readFile(path("b.asm")), "b\nstop\n");
    EXPECT_EQ(main().frontPage(), 2);
}

TEST_F(EditorTabs, EditCommandsActOnTheActiveTabOfTheAssemblerPage) {
    open(writeFile("a.asm", "first\n"));
    open(writeFile("b.asm", "second\n"));
    editorOf(0)->selectAll();
    editorOf(2)->setSelection(0, 0, 0, 6);
    tabs().mEditCut();
    EXPECT_EQ(editorText(2), "\n");
    EXPECT_TRUE(editorText(0).startsWith(";----"));
    EXPECT_EQ(QApplication::clipboard()->text(), "second");
    tabs().activateEditorTab(1);
    editorOf(1)->setCursorPosition(1, 0);
    tabs().mEditPaste();
    EXPECT_EQ(editorText(1), "first\nsecond");
    tabs().mEditUndo();
    EXPECT_EQ(editorText(1), "first\n");
    tabs().mEditRedo();
    EXPECT_EQ(editorText(1), "first\nsecond");

    find<QTabWidget>("mainTabs")->setCurrentIndex(1); // the user's click
    // nothing happens while another page is in front
    tabs().mEditUndo();
    tabs().mFileNew();
    EXPECT_EQ(editorText(1), "first\nsecond");
    EXPECT_EQ(tabs().editorTabCount(), 3);
}

TEST_F(EditorTabs, TabAndPathLimitsAreGuarded) {
    for (int i = 1; i < max_editor_tabs; ++i)
        tabs().mFileNew();
    EXPECT_EQ(tabs().editorTabCount(), 50);
    EXPECT_TRUE(popups.shown.isEmpty());
    tabs().mFileNew();
    open(writeFile("more.asm", "nop\n"));
    EXPECT_EQ(tabs().editorTabCount(), 50);
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 32|ivra-ASM Warning 32");
    EXPECT_TRUE(popups.shown[0].text.startsWith("Too many files are open."));

    while (tabs().editorTabCount() > 1)
        tabs().mFileClose();
    popups.shown.clear();
    const QString longPath = "/" + QString(max_path_chars, 'p') + ".asm";
    open(longPath);
    EXPECT_EQ(tabs().editorTabCount(), 1);
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 33");
}

TEST_F(EditorTabs, PrintUsesTheActiveEditorOrTheShownHexView) {
    main().mFilePrint();
    ASSERT_EQ(dialogs.printed.size(), 1);
    EXPECT_EQ(dialogs.printed[0], editorOf(0));
    main().showPage(1);
    main().mFilePrint();
    main().showPage(2);
    main().mFilePrint(); // no hex file selected
    EXPECT_EQ(dialogs.printed.size(), 1);
    // The Download page refreshes itself and offers its hex view once a hex file is selected.
    app->build().hexFilePath = writeFile("prog.hex", "0000: 70 00\n");
    main().mFilePrint();
    ASSERT_EQ(dialogs.printed.size(), 2);
    auto* hex = find<QsciScintilla>("hexView");
    EXPECT_EQ(dialogs.printed[1], hex);
    EXPECT_EQ(hex->text(), "0000: 70 00\n");
    EXPECT_EQ(main().frontPage(), 2);
}

TEST_F(EditorTabs, EditorSettingsReachEveryTab) {
    tabs().mFileNew();
    for (int tab : {0, 1}) {
        EXPECT_GT(editorOf(tab)->marginWidth(0), 0);
        EXPECT_NE(editorOf(tab)->lexer(), nullptr);
        EXPECT_EQ(editorOf(tab)->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE,
                                               QsciScintillaBase::STYLE_LINENUMBER),
                  0x808080);
    }
    setSetting(&Settings::lineNumbering, 0);
    setSetting(&Settings::syntaxHighlighting, 0);
    setSetting(&Settings::lineNumberingGray, 0);
    for (int tab : {0, 1}) {
        tabs().applyEditorSettings(tab);
        EXPECT_EQ(editorOf(tab)->marginWidth(0), 0);
        EXPECT_EQ(editorOf(tab)->lexer(), nullptr);
        EXPECT_EQ(editorOf(tab)->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE,
                                               QsciScintillaBase::STYLE_LINENUMBER),
                  0);
    }
}

// Switching syntax highlighting off keeps the fixed-pitch font of the editors.
TEST_F(EditorTabs, EditorsKeepTheirFixedPitchFontWithoutHighlighting) {
    auto fontOf = [](QsciScintilla& editor, int style) {
        QByteArray name(128, '\0');
        editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style, name.data());
        return QString::fromLatin1(name.constData());
    };
    auto fixedPitch = [](const QString& family) {
        QFontMetrics metrics{QFont(family)};
        return metrics.horizontalAdvance('i') == metrics.horizontalAdvance('W');
    };
    const QString fixed = fontOf(*editorOf(0), QsciScintillaBase::STYLE_DEFAULT);
    ASSERT_TRUE(fixedPitch(fixed)) << qPrintable(fixed);
    tabs().mFileNew();
    setSetting(&Settings::syntaxHighlighting, 0);
    for (int tab : {0, 1}) {
        ASSERT_EQ(editorOf(tab)->lexer(), nullptr);
        // Every style the text may still carry from the highlighting, and the line numbers.
        for (int style : {0, 1, 2, 3, 4, 5, 6, 7, int(QsciScintillaBase::STYLE_DEFAULT),
                          int(QsciScintillaBase::STYLE_LINENUMBER)})
            EXPECT_TRUE(fixedPitch(fontOf(*editorOf(tab), style)))
                << tab << " style " << style << ": " << qPrintable(fontOf(*editorOf(tab), style));
    }
    setSetting(&Settings::syntaxHighlighting, 1);
    EXPECT_TRUE(fixedPitch(fontOf(*editorOf(0), 0)));
}

} // namespace
} // namespace ide::test
