// The language switch: the main window comes back in the other language with its files, the
// main-file mark and the tab in front; unsaved edits are asked about first; the check marks,
// the toolbar's Language button and the failures of the reload.
#include "app/quit.h"
#include "editor/editor_tabs.h"
#include "help/help_viewer.h"
#include "help/help_windows.h"
#include "ide_fixture.h"
#include "shell/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

class LanguageSwitch : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(start(), StartResult::mainWindow);
    }
    // Opens the files in new tabs, as File/Open does.
    void open(const QStringList& files) {
        for (const QString& file : files) {
            dialogs.choices.push_back({1, {file}});
            find<QAction>("mFileOpen")->trigger();
        }
    }
    QStringList tabLabels() const {
        QStringList labels;
        for (int i = 0; i < tabs().editorTabCount(); ++i)
            labels << tabs().editorTabLabel(i) + (tabs().hasMainFileMark(i) ? "*" : "");
        return labels;
    }
    void switchTo(const char* item) {
        find<QAction>(item)->trigger();
        settle(); // the old window goes
    }
    bool checked(const char* item) const { return find<QAction>(item)->isChecked(); }
};

TEST_F(LanguageSwitch, ARoundTripKeepsTheFilesTheMarkAndTheTabInFront) {
    const QString a = writeFile("a.asm", "nop\n"), b = writeFile("inc/b.h", "CONST k 1\n");
    open({a, b});
    ASSERT_EQ(tabLabels(), QStringList({"untitled.asm*", "a.asm", "b.h"}));
    QPointer<QMainWindow> english = window();

    switchTo("mToolsLanguagesChinese");
    EXPECT_EQ(popups.titles(), "");
    EXPECT_TRUE(english.isNull()); // the old window is gone
    EXPECT_EQ(settings().language, 1);
    EXPECT_EQ(find<QMenu>("menuFile")->title(), "文件(&F)");
    EXPECT_EQ(find<QAbstractButton>("compileButton")->text(), "编译(&C)");
    EXPECT_EQ(find<QTabWidget>("mainTabs")->tabText(1), "调试器(&B)");
    EXPECT_TRUE(checked("mToolsLanguagesChinese"));
    EXPECT_FALSE(checked("mToolsLanguagesEnglish"));
    EXPECT_TRUE(checked("toolsResolution1024"));
    EXPECT_FALSE(checked("toolsResolution800"));
    // The untitled tab had no file: the files come back, with no mark taken from it.
    EXPECT_EQ(tabLabels(), QStringList({"a.asm", "b.h"}));
    EXPECT_EQ(editorText(1), "CONST k 1\n");
    EXPECT_EQ(tabs().activeEditorTab(), 1);
    EXPECT_EQ(tabs().currentFileText(), b);
    EXPECT_TRUE(readFile("settings.ini")
                    .contains("[Language]\r\nCodepage detection = 1\r\n"
                              "Language = 1\r\n"));

    tabs().setMainFileMark(1, true);
    tabs().activateEditorTab(0);
    switchTo("mToolsLanguagesEnglish");
    EXPECT_EQ(settings().language, 0);
    EXPECT_EQ(find<QMenu>("menuFile")->title(), "&File");
    EXPECT_EQ(find<QAbstractButton>("compileButton")->text(), "&Compile");
    EXPECT_TRUE(checked("mToolsLanguagesEnglish"));
    EXPECT_FALSE(checked("mToolsLanguagesChinese"));
    EXPECT_EQ(tabLabels(), QStringList({"a.asm", "b.h*"}));
    EXPECT_EQ(tabs().activeEditorTab(), 0);
    EXPECT_EQ(editorText(0), "nop\n");
    EXPECT_FALSE(editorOf(0)->isModified());
}

TEST_F(LanguageSwitch, UnsavedEditsAreAskedAboutFirst) {
    const QString a = writeFile("a.asm", "nop\n"), b = writeFile("b.asm", "stop\n");
    open({a, b});
    editorOf(1)->append("; mine\n");
    editorOf(2)->append("; also mine\n");

    // Cancel: nothing changes.
    QPointer<QMainWindow> before = window();
    popups.answers = {answerCancel};
    switchTo("mToolsLanguagesChinese");
    EXPECT_EQ(popups.titles(), "Save Changes");
    EXPECT_EQ(window(), before.data());
    EXPECT_EQ(settings().language, 0);
    EXPECT_TRUE(editorOf(1)->isModified());
    EXPECT_FALSE(QFile::exists(path("settings.ini")));

    // Save the first, discard the second: the saved edit comes back, the discarded does not.
    popups.shown.clear();
    popups.answers = {answerYes, answerNo};
    switchTo("mToolsLanguagesChinese");
    EXPECT_EQ(popups.titles(), "Save Changes|Save Changes");
    EXPECT_EQ(settings().language, 1);
    EXPECT_EQ(readFile(a), "nop\n; mine\n");
    EXPECT_EQ(readFile(b), "stop\n");
    EXPECT_EQ(tabLabels(), QStringList({"a.asm", "b.asm"}));
    EXPECT_EQ(editorText(0), "nop\n; mine\n");
    EXPECT_EQ(editorText(1), "stop\n");
}

TEST_F(LanguageSwitch, WithoutFilesTheNewWindowShowsTheUntitledFile) {
    editorOf(0)->append("; typed\n");
    popups.answers = {answerNo};
    switchTo("mToolsLanguagesChinese");
    EXPECT_EQ(tabLabels(), QStringList({"untitled.asm*"}));
    EXPECT_FALSE(editorText(0).contains("; typed"));
    EXPECT_FALSE(editorOf(0)->isModified());
}

TEST_F(LanguageSwitch, TheChosenLanguageAgainChangesNothing) {
    editorOf(0)->append("; typed\n");
    QPointer<QMainWindow> before = window();
    QTest::keyClick(window(), Qt::Key_F11);
    settle();
    EXPECT_EQ(popups.titles(), "");
    EXPECT_EQ(window(), before.data());
    EXPECT_TRUE(editorOf(0)->isModified());
}

TEST_F(LanguageSwitch, TheNewWindowTakesTheOldOnesPlaceAndTitle) {
    window()->setGeometry(40, 30, 900, 650);
    window()->setWindowTitle("KZ71 Assembler - /work/demo.prj");
    const QRect place = window()->geometry();
    QTest::keyClick(window(), Qt::Key_F12);
    settle();
    EXPECT_EQ(settings().language, 1);
    EXPECT_EQ(window()->geometry(), place);
    EXPECT_EQ(window()->windowTitle(), "KZ71 Assembler - /work/demo.prj");
    EXPECT_TRUE(window()->isVisible());
    // The tooltips follow the settings in the new window too, in its language.
    EXPECT_EQ(find<QWidget>("compileButton")->toolTip(), "编译程序");
}

TEST_F(LanguageSwitch, TheLanguageButtonAlwaysOffersTheOtherLanguage) {
    auto languageButton = [this] {
        QToolBar* bar = window()->findChild<QToolBar*>("asmToolbar");
        QList<QAction*> actions = bar->actions();
        return actions.size() > 30 ? actions[30] : nullptr;
    };
    ASSERT_NE(languageButton(), nullptr);
    EXPECT_EQ(languageButton()->objectName(), "mToolsLanguagesChinese");
    languageButton()->trigger();
    settle();
    EXPECT_EQ(settings().language, 1);
    QAction* back = languageButton();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->objectName(), "mToolsLanguagesEnglish");
    EXPECT_EQ(back->toolTip(), "语言");
    QAction* newFile = window()->findChild<QToolBar*>("asmToolbar")->actions().first();
    EXPECT_EQ(newFile->toolTip(), "新建文件");
    back->trigger();
    settle();
    EXPECT_EQ(settings().language, 0);
    EXPECT_EQ(languageButton()->toolTip(), "Language");
}

TEST_F(LanguageSwitch, HelpWindowsStayOpenAcrossTheSwitch) {
    QTest::keyClick(window(), Qt::Key_F1);
    QPointer<HelpViewer> help = app->helpWindows().viewer(HelpBook::general);
    ASSERT_TRUE(help);
    switchTo("mToolsLanguagesChinese");
    EXPECT_TRUE(help && help->isVisible());
}

TEST_F(LanguageSwitch, WithoutTheChineseTextsTheWindowStaysEnglishAfterAWarning) {
    app->paths().dataDir = dir.path(); // an installation without the chinese folder
    switchTo("mToolsLanguagesChinese");
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 22");
    EXPECT_EQ(popups.shown[0].text, "Loading chinese coding failed!\nWarning 22");
    EXPECT_EQ(find<QMenu>("menuFile")->title(), "&File");
    EXPECT_EQ(settings().language, 1);
}

TEST_F(LanguageSwitch, AWindowThatCannotBeLoadedEndsTheProgramAfterTellingWhy) {
    app->paths().panelsDir = dir.path(); // big.ui has gone
    popups.answers = {answerNo};         // the project question
    switchTo("mToolsLanguagesChinese");
    ASSERT_GE(popups.shown.size(), 2);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 21");
    EXPECT_TRUE(popups.shown[0].text.startsWith(
        "Loading new panel failed!\nPlease restart application (Return value -2)\n"));
    EXPECT_EQ(popups.shown[1].title, "Save Project");
    EXPECT_TRUE(app->quitRequested());
}

TEST_F(LanguageSwitch, ACancelledQuitAfterAFailedLoadKeepsTheOldWindowAndLanguage) {
    editorOf(0)->append("; typed\n");
    app->paths().panelsDir = dir.path();
    popups.answers = {answerNo, answerCancel}; // discard for the switch, then cancel the quit
    QPointer<QMainWindow> before = window();
    switchTo("mToolsLanguagesChinese");
    EXPECT_EQ(popups.titles(), "Save Changes|ivra-ASM Error 21|Save Changes");
    EXPECT_FALSE(app->quitRequested());
    EXPECT_EQ(window(), before.data());
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(settings().language, 0);
}

TEST_F(LanguageSwitch, AnUnwritableSettingsFileIsToldAndDoesNotUndoTheSwitch) {
    // The file from an earlier run stays readable, but no new one can be written beside it.
    writeFile("settings.ini", "[Language]\r\nLanguage = 0\r\n");
    QDir().mkpath(path("settings.ini.writing"));
    switchTo("mToolsLanguagesChinese");
    EXPECT_EQ(popups.titles(), "ivra-ASM Error 172");
    EXPECT_EQ(settings().language, 1);
    EXPECT_TRUE(checked("mToolsLanguagesChinese"));
    EXPECT_EQ(find<QMenu>("menuFile")->title(), "文件(&F)");
}

} // namespace
} // namespace ide::test
