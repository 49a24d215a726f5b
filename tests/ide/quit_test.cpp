#include "app/quit.h"
#include "app/shell_state.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"
#include "scripted_launcher.h"
#include "settings/settings.h"
#include "shell/main_window.h"
#include "shell/panel_loader.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

using QuitSequence = IdeTest;

TEST_F(QuitSequence, AsksAboutTheProjectSavesSettingsAndEnds) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    popups.answers = {answerYes};
    find<QPushButton>("exitButton")->click();
    EXPECT_TRUE(app->quitRequested());
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "Save Project");
    EXPECT_EQ(popups.shown[0].text, "Do you want to save project file?");
    EXPECT_EQ(popups.shown[0].buttons, PopupButtons::yesNo);
    EXPECT_TRUE(readFile("settings.ini").contains("[Window]\r\nAllow maximization = 1\r\n"));
}

TEST_F(QuitSequence, EveryModifiedTabIsAskedAboutAndCancelKeepsTheProgramRunning) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    const QString file = writeFile("b.asm", "nop\n");
    dialogs.choices = {{1, {file}}};
    find<QAction>("mFileOpen")->trigger();
    ASSERT_EQ(tabs().editorTabCount(), 2);
    editorOf(1)->append("stop\n"); // only the second tab is modified
    tabs().activateEditorTab(0);
    main().showPage(2);

    popups.answers = {answerCancel};
    EXPECT_FALSE(Quit(*app));
    EXPECT_FALSE(app->quitRequested());
    EXPECT_EQ(popups.titles(), "Save Changes");
    EXPECT_EQ(popups.shown[0].text, "Edit buffer was modified. Save?");
    EXPECT_EQ(popups.shown[0].buttons, PopupButtons::yesNoCancel);
    EXPECT_EQ(tabs().activeEditorTab(), 1); // the tab in question was brought to the front
    EXPECT_EQ(main().frontPage(), 0);
    EXPECT_FALSE(QFile::exists(path("settings.ini")));
    EXPECT_EQ(readFile(file), "nop\n");

    popups.shown.clear();
    popups.answers = {answerYes, answerNo};
    EXPECT_TRUE(Quit(*app));
    EXPECT_EQ(popups.titles(), "Save Changes|Save Project");
    EXPECT_EQ(readFile(file), "nop\nstop\n");
    EXPECT_TRUE(app->quitRequested());
}

TEST_F(QuitSequence, AFailedSaveStopsTheQuit) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    editorOf(0)->append("nop\n"); // the untitled file: Save asks for a name at once
    popups.answers = {answerYes};
    EXPECT_FALSE(Quit(*app)); // the Save As dialog was cancelled
    EXPECT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(clock.now(), std::chrono::seconds(0));
    EXPECT_FALSE(app->quitRequested());
}

TEST_F(QuitSequence, RightClickOnExitEndsAtOnceWithNothingSaved) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    editorOf(0)->append("nop\n");
    auto* exit = find<QPushButton>("exitButton");
    pressRightButton(*exit);
    EXPECT_TRUE(app->quitRequested());
    EXPECT_TRUE(popups.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(path("settings.ini")));
}

TEST_F(QuitSequence, ClosingTheWindowRunsTheQuitSequence) {
    ASSERT_EQ(start(), StartResult::mainWindow);
    editorOf(0)->append("nop\n");
    popups.answers = {answerCancel};
    EXPECT_FALSE(window()->close());
    EXPECT_TRUE(window()->isVisible());
    popups.answers = {answerNo, answerNo};
    EXPECT_TRUE(window()->close());
    EXPECT_EQ(popups.titles(), "Save Changes|Save Changes|Save Project");
    EXPECT_TRUE(app->quitRequested());
}

TEST_F(QuitSequence, ClearAllSettingsDeletesTheFileAndStartsTheCleaner) {
    writeFile("asmwick_01", "#!/bin/sh\n");
    ASSERT_EQ(start(), StartResult::mainWindow);
    ScriptedLauncher launcher{clock};
    app->setLauncher(&launcher);
    const auto restore = qScopeGuard([this] { app->setLauncher(nullptr); });
    setSetting(&Settings::clearAll, 1);
    EXPECT_TRUE(Quit(*app));
    EXPECT_FALSE(QFile::exists(path("settings.ini")));
    // The cleaner is started from the working directory and not waited for.
    ASSERT_EQ(launcher.detached.size(), 1);
    EXPECT_EQ(launcher.detached[0].program, QDir::current().absoluteFilePath("asmwick_01"));
    EXPECT_TRUE(launcher.detached[0].arguments.isEmpty());
    EXPECT_TRUE(launcher.launched.isEmpty());

    // The next start finds no settings.ini and begins from the start values.
    app->discardPanels();
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_EQ(settings().clearAll, 0);
}

TEST_F(QuitSequence, ASettingsFileThatCannotBeDeletedIsReported) {
    QDir(dir.path()).mkpath("settings.ini/locked"); // a folder cannot be removed as a file
    ASSERT_EQ(start(), StartResult::mainWindow);
    setSetting(&Settings::clearAll, 1);
    EXPECT_TRUE(Quit(*app));
    // The folder can be neither written nor deleted; both are told.
    EXPECT_EQ(popups.titles(), "Save Project|ivra-ASM Error 172|ivra-ASM Warning 171");
    EXPECT_EQ(popups.shown[2].text,
              "Settings cannot be cleared.\nFile deletion failed!\nWarning 171");
    EXPECT_TRUE(app->quitRequested());
}

} // namespace
} // namespace ide::test
