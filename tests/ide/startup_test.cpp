#include "app/quit.h"
#include "app/shell_state.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"
#include "shell/main_window.h"
#include "shell/panel_loader.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

using StartUp = IdeTest;

const QString untitled = ";--------------------------------------------------------\n"
                         ";\tFile: Untitled.asm\n"
                         ";\n"
                         ";\tAuthor: unknown\n"
                         ";--------------------------------------------------------\n"
                         "\n"
                         "; --- place your code here ---\n"
                         "\n";

TEST_F(StartUp, FirstStartShowsTheMainWindowWithTheUntitledFile) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->windowTitle(), "KZ71 Assembler");
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(app->shell().activePage, 0);
    EXPECT_EQ(main().frontPage(), 0);
    EXPECT_EQ(tabs().editorTabCount(), 1);
    EXPECT_EQ(editorText(0), untitled);
    EXPECT_EQ(tabs().editorTabLabel(0), "untitled.asm");
    EXPECT_EQ(tabs().editorTab(0).path, "untitled.asm");
    EXPECT_TRUE(tabs().hasMainFileMark(0));
    EXPECT_FALSE(editorOf(0)->isModified());
    EXPECT_EQ(tabs().currentFileText(), "untitled.asm");
    EXPECT_EQ(find<QPlainTextEdit>("asmMessages")->toPlainText(), "Ready...");
    EXPECT_EQ(settings().resolution, 1024);
    EXPECT_EQ(settings().suppressDebugBpMessages, 0);
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
    EXPECT_FALSE(QFile::exists(path("settings.ini"))); // written at quit, not at start

    const QByteArray info = readFile("win32.info");
    EXPECT_TRUE(info.contains("Platform Information\n"));
    EXPECT_TRUE(info.contains("char\t\t\t1 Byte(s)\n"));
    EXPECT_TRUE(info.contains("unsigned __int64\t8 Byte(s)\n"));
    EXPECT_TRUE(info.contains("This file was compiled on "));
}

TEST_F(StartUp, SettingsFileIsLoadedButTheLanguageComesFromTheCodePage) {
    writeFile("settings.ini", "[Language]\r\nLanguage = 1\r\n[Editor]\r\nLine numbering = 0\r\n"
                              "[Environment]\r\nShow tooltips = 0\r\n");
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_EQ(settings().language, 0);
    EXPECT_EQ(settings().lineNumbering, 0);
    EXPECT_EQ(editorOf(0)->marginWidth(0), 0);
    EXPECT_TRUE(find<QWidget>("compileButton")->toolTip().isEmpty());
}

TEST_F(StartUp, CodePagesChooseLanguageAndMultibyte) {
    struct Case {
        int codePage;
        int detection;
        int language;
        int multibyte;
    };
    for (Case c : {Case{1252, 1, 0, 0}, Case{932, 1, 0, 1}, Case{936, 1, 1, 1}, Case{950, 1, 1, 1},
                   Case{936, 0, 0, 1}}) {
        writeFile("settings.ini", QString("[Language]\nCodepage detection = %1\nLanguage = %2\n")
                                      .arg(c.detection)
                                      .arg(1 - c.language)
                                      .toUtf8());
        popups.shown.clear();
        ASSERT_EQ(start(1024, 768, c.codePage), StartResult::mainWindow);
        EXPECT_EQ(settings().language, c.language) << c.codePage;
        EXPECT_EQ(settings().multibyte, c.multibyte) << c.codePage;
        EXPECT_EQ(app->shell().codePage, c.codePage);
        EXPECT_EQ(popups.titles(), "") << c.codePage; // the shipped Chinese texts are found
        app->discardPanels();
    }
    EXPECT_EQ(codePageFromLocale("zh_CN"), 936);
    EXPECT_EQ(codePageFromLocale("zh_TW"), 950);
    EXPECT_EQ(codePageFromLocale("zh_HK"), 950);
    EXPECT_EQ(codePageFromLocale("ja_JP"), 932);
    EXPECT_EQ(codePageFromLocale("de_DE"), 1252);
}

TEST_F(StartUp, ChineseTextsAreAppliedWhenTheirFileExists) {
    writeFile("chinese/big.lwl", "# main window\n&Compile\t编译\nASM Messages\t汇编信息\n");
    ASSERT_EQ(start(1024, 768, 936), StartResult::mainWindow);
    EXPECT_TRUE(popups.shown.isEmpty());
    EXPECT_EQ(find<QAbstractButton>("compileButton")->text(), "编译");
    EXPECT_EQ(find<QLabel>("asmMessagesLabel")->text(), "汇编信息");
    EXPECT_TRUE(find<QAction>("mToolsLanguagesChinese")->isChecked());
    EXPECT_FALSE(find<QAction>("mToolsLanguagesEnglish")->isChecked());
}

TEST_F(StartUp, ScreensNarrowerThan800PixelsGetTheNotSupportedWindow) {
    ASSERT_EQ(start(800, 600), StartResult::mainWindow);
    app->discardPanels();

    ASSERT_EQ(start(799, 600), StartResult::notSupported);
    EXPECT_EQ(window(), nullptr);
    QWidget* panel = app->shell().notSupportedPanel;
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), "KZ71 Assembler");
    EXPECT_EQ(findIn<QLabel>(panel, "notSupportedText")->text(),
              "This resolution ist not supported.");
    EXPECT_EQ(settings().resolution, 640);

    popups.answers = {answerYes}; // "Save Project": nothing to save here
    findIn<QAbstractButton>(panel, "exitButton")->click();
    EXPECT_TRUE(app->quitRequested());
    EXPECT_EQ(popups.titles(), "Save Project");
    EXPECT_TRUE(readFile("settings.ini").contains("Resolution = 640\r\n"));
}

// The not-supported window's Exit behaves like the main window's: a right press ends at once,
// and closing the window by its title bar records the resolution as the Exit button does.
TEST_F(StartUp, TheNotSupportedWindowEndsLikeTheMainWindow) {
    ASSERT_EQ(start(799, 600), StartResult::notSupported);
    QWidget* exit = findIn<QWidget>(app->shell().notSupportedPanel, "exitButton");
    pressRightButton(*exit);
    EXPECT_TRUE(app->quitRequested());
    EXPECT_TRUE(popups.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(path("settings.ini")));

    app->discardPanels();
    ASSERT_EQ(start(799, 600), StartResult::notSupported);
    EXPECT_FALSE(app->quitRequested());
    EXPECT_TRUE(app->shell().notSupportedPanel->close());
    EXPECT_TRUE(app->quitRequested());
    EXPECT_EQ(popups.titles(), "Save Project");
    EXPECT_TRUE(readFile("settings.ini").contains("Resolution = 640\r\n"));
}

// A panel that lacks one of the controls its controller binds fails to load, as a panel file
// that cannot be read does, naming what is missing.
TEST_F(StartUp, APanelMissingAWidgetFailsToLoadNamingIt) {
    auto copyPanels = [&](const QString& folder, const QByteArray& from, const QByteArray& to) {
        QDir().mkpath(path(folder));
        for (const char* name : {"big.ui", "notsupported.ui", "toolssettings.ui"}) {
            QFile in(QString(KZ71_BIN_DIR) + "/panels/" + name);
            EXPECT_TRUE(in.open(QIODevice::ReadOnly));
            writeFile(folder + "/" + name, in.readAll().replace(from, to));
        }
        app->paths().panelsDir = path(folder);
    };
    copyPanels("renamed", "name=\"compileButton\"", "name=\"compile\"");
    EXPECT_EQ(start(), StartResult::failed);
    ASSERT_EQ(popups.titles(), "ivra-ASM Error 20");
    EXPECT_EQ(popups.shown[0].text, "Loading main panel failed! (Return value -4)\n"
                                    "big.ui: no QPushButton named \"compileButton\"\nError 20");
    EXPECT_EQ(window(), nullptr);

    popups.shown.clear();
    copyPanels("retyped", "<widget class=\"QPlainTextEdit\" name=\"asmMessages\">",
               "<widget class=\"QLabel\" name=\"asmMessages\">");
    EXPECT_EQ(start(), StartResult::failed);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_TRUE(popups.shown[0].text.contains(
        "big.ui: \"asmMessages\" is a QLabel, not a QPlainTextEdit\n"));

    copyPanels("no-exit", "name=\"exitButton\"", "name=\"leave\"");
    popups.shown.clear();
    EXPECT_EQ(start(799, 600), StartResult::failed); // the not-supported window: no popup
    EXPECT_TRUE(popups.shown.isEmpty());

    copyPanels("no-apply", "name=\"applyButton\"", "name=\"apply\"");
    ASSERT_EQ(start(), StartResult::mainWindow); // big.ui has no applyButton of its own
    ide::SettingsDialog::mToolsSettings(*app);
    EXPECT_EQ(app->shell().settingsPanel, nullptr);
    ASSERT_EQ(popups.titles(), "ivra-ASM Error 170");
    EXPECT_TRUE(popups.shown[0].text.contains("toolssettings.ui: no QPushButton named "
                                              "\"applyButton\""));
}

TEST(Options, TheSimulatorIsChosenOnTheCommandLine) {
    EXPECT_FALSE(parseOptions({"kz71-assembler"}).useSimulator);
    EXPECT_TRUE(parseOptions({"kz71-assembler", "--simulator"}).useSimulator);
    EXPECT_FALSE(parseOptions({"--simulator"}).useSimulator); // the program's own name
    EXPECT_FALSE(parseOptions({"kz71-assembler", "--simulate", "-simulator"}).useSimulator);
}

TEST_F(StartUp, MissingPanelsEndTheProgram) {
    app->paths().panelsDir = path("no-panels");
    EXPECT_EQ(start(799, 600), StartResult::failed);
    EXPECT_TRUE(popups.shown.isEmpty());

    EXPECT_EQ(start(), StartResult::failed);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 20");
    EXPECT_EQ(popups.shown[0].icon, PopupIcon::error);
    EXPECT_TRUE(popups.shown[0].text.startsWith("Loading main panel failed! (Return value -2)\n"));
    EXPECT_TRUE(popups.shown[0].text.endsWith("big.ui\nError 20"));
}

TEST_F(StartUp, LeftoverMessageFilesAreDeleted) {
    writeFile("TARNOutpMsg.tmp", "old");
    writeFile("FELLOutpMsg.tmp", "old");
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_FALSE(QFile::exists(path("TARNOutpMsg.tmp")));
    EXPECT_FALSE(QFile::exists(path("FELLOutpMsg.tmp")));
}

TEST_F(StartUp, PlatformInfoFailureIsReportedButHarmless) {
    EXPECT_FALSE(writePlatformInfo(path("missing-dir/win32.info")));
    EXPECT_TRUE(writePlatformInfo(path("win32.info")));
}

} // namespace
} // namespace ide::test
