// Projects: the project file Save Project writes, Open Project and Search Examples reading it
// back from anywhere, the files that are missing or too many, unsaved edits, and the project
// that the quit sequence saves and the next start reopens.
#include "app/quit.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"
#include "pages/assembler_page.h"
#include "project/project_file.h"
#include "project/projects.h"
#include "shell/main_window.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

class ProjectTest : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        ASSERT_EQ(start(), StartResult::mainWindow);
    }
    Projects& projects() { return main().assemblerPage().projects(); }
    // The main file in tab 0, then the other files in tabs of their own.
    void openFiles(const QString& mainFile, const QStringList& others) {
        ASSERT_GE(tabs().loadFileIntoTab(0, mainFile), 0);
        tabs().setMainFileMark(0, true);
        for (const QString& file : others)
            tabs().openChosenPath(file);
    }
    QStringList tabPaths() const {
        QStringList paths;
        for (int i = 0; i < tabs().editorTabCount(); ++i)
            paths << tabs().editorTab(i).path;
        return paths;
    }
    QList<int> markedTabs() const {
        QList<int> marked;
        for (int i = 0; i < tabs().editorTabCount(); ++i)
            if (tabs().hasMainFileMark(i)) marked << i;
        return marked;
    }
    // Open Project with the dialog answering `project`.
    void openProject(const QString& project) {
        dialogs.choices.push_back({1, {project}});
        app->commands().run("mOpenProject");
    }
    QString lastProject() const { return QString::fromStdString(settings().lastProject); }
    QString title() const { return window()->windowTitle(); }
};

TEST_F(ProjectTest, SaveWritesTheMainFilesNameAndTheOthersBelowItRelative) {
    const QString demo = writeFile("work/demo.asm", "nop\n");
    const QString defs = writeFile("work/inc/defs.h", "CONST a 1\n");
    const QString common = writeFile("lib/common.h", "CONST b 2\n");
    const QString sibling = writeFile("workshop/x.h", "CONST c 3\n"); // not below work/
    openFiles(demo, {defs, common, sibling});
    app->commands().run("mSaveProject");

    EXPECT_EQ(readFile("work/demo.prj"), QString("[Files]\r\nASM = \"demo.asm\"\r\n"
                                                 "File0 = \"inc/defs.h\"\r\n"
                                                 "File1 = \"%1\"\r\nFile2 = \"%2\"\r\n")
                                             .arg(common, sibling)
                                             .toUtf8());
    EXPECT_EQ(lastProject(), path("work/demo.prj"));
    EXPECT_EQ(title(), "KZ71 Assembler - " + path("work/demo.prj"));
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "Project saved");
    EXPECT_EQ(popups.shown[0].text, path("work/demo.prj"));
}

TEST_F(ProjectTest, TheProjectFileNeverReplacesTheMainFile) {
    const QString prog = writeFile("src.v2/prog", "nop\n"); // no extension, a dot in the folder
    openFiles(prog, {});
    EXPECT_TRUE(projects().saveProjectFile());
    EXPECT_EQ(lastProject(), path("src.v2/prog.prj"));
    EXPECT_EQ(readFile(prog), "nop\n");
    EXPECT_EQ(projectPathFor("/w/demo.asm"), "/w/demo.prj");
    EXPECT_EQ(projectPathFor("a"), "a.prj");

    // A main file named like a project file.
    const QString odd = writeFile("odd.prj", "nop\n");
    openFiles(odd, {});
    popups.shown.clear();
    app->commands().run("mSaveProject");
    EXPECT_EQ(readFile(odd), "nop\n");
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 36");
    EXPECT_EQ(lastProject(), path("src.v2/prog.prj"));
}

TEST_F(ProjectTest, AnUntitledMainFileGivesUntitledPrjInTheWorkingDirectory) {
    EXPECT_TRUE(projects().saveProjectFile());
    EXPECT_EQ(readFile("untitled.prj"), "[Files]\r\nASM = \"untitled.asm\"\r\n");
    EXPECT_FALSE(QFile::exists(path("untitled.asm"))); // the sources are not saved
    EXPECT_EQ(lastProject(), path("untitled.prj"));
}

TEST_F(ProjectTest, AProjectThatCannotBeWrittenOrHasNoMainFileIsToldNotClaimedSaved) {
    const QString demo = writeFile("demo.asm", "nop\n");
    QDir(dir.path()).mkpath("demo.prj/in-the-way");
    openFiles(demo, {});
    app->commands().run("mSaveProject");
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 36");
    EXPECT_EQ(popups.shown[0].text,
              "The project file cannot be written:\n" + path("demo.prj") + "\nError 36");
    EXPECT_EQ(lastProject(), "");

    tabs().setMainFileMark(0, false);
    popups.shown.clear();
    app->commands().run("mSaveProject");
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Warning 35");
    EXPECT_TRUE(popups.shown[0].text.startsWith(
        "The project was not saved: no file is marked as the main file."));
}

TEST_F(ProjectTest, OpenFindsTheFilesBesideTheProjectFromAnyFolderWithEitherSeparator) {
    writeFile("copy/demo.asm", "; demo\nnop\n");
    writeFile("copy/inc/defs.h", "CONST a 1\n");
    const QString common = writeFile("lib/common.h", "CONST b 2\n");
    const QString project = writeFile(
        "copy/demo.prj", QString("[Files]\r\nASM = \"demo.asm\"\r\nFile0 = \"inc\\\\defs.h\"\r\n"
                                 "File1 = \"%1\"\r\n")
                             .arg(common)
                             .toUtf8());
    QDir::setCurrent(path("lib")); // the working directory plays no part
    openProject(project);
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
    EXPECT_EQ(dialogs.requests[0].title, "Open File");
    EXPECT_EQ(dialogs.requests[0].filters, QStringList{"*.prj"});
    EXPECT_EQ(tabPaths(), (QStringList{path("copy/demo.asm"), path("copy/inc/defs.h"), common}));
    EXPECT_EQ(editorText(0), "; demo\nnop\n");
    EXPECT_EQ(tabs().editorTabLabel(1), "defs.h");
    EXPECT_EQ(markedTabs(), QList<int>{0});
    EXPECT_EQ(tabs().activeEditorTab(), 0);
    EXPECT_EQ(tabs().currentFileText(), path("copy/demo.asm"));
    EXPECT_EQ(lastProject(), project);
    EXPECT_EQ(title(), "KZ71 Assembler - " + project);

    // The next Open Project starts in the folder of the last tab's file.
    dialogs.choices.push_back({0, {}});
    app->commands().run("mOpenProject");
    EXPECT_EQ(dialogs.requests[1].start, path("lib/"));
    EXPECT_EQ(lastProject(), project);
    EXPECT_EQ(tabs().editorTabCount(), 3);
}

TEST_F(ProjectTest, MissingFilesAreToldAndLeaveNoTabs) {
    writeFile("p/one.h", "CONST a 1\n");
    writeFile("p/four.h", "CONST d 4\n");
    writeFile("p/six.h", "CONST f 6\n");
    const QByteArray text = "[Files]\r\nASM = \"gone.asm\"\r\nFile0 = \"one.h\"\r\n"
                            "File1 = \"two.h\"\r\nFile2 = \"three.h\"\r\nFile3 = \"four.h\"\r\n"
                            "File5 = \"six.h\"\r\n";
    const QString project = writeFile("p/gone.prj", text);
    openProject(project);
    EXPECT_EQ(popups.titles(), "Info|Info|Info");
    EXPECT_EQ(popups.shown[0].text, "File not found: " + path("p/gone.asm"));
    EXPECT_EQ(popups.shown[0].icon, PopupIcon::warning);
    EXPECT_EQ(popups.shown[2].text, "File not found: " + path("p/three.h"));
    // The first file found takes tab 0 without the mark; reading stops at the gap.
    EXPECT_EQ(tabPaths(), (QStringList{path("p/one.h"), path("p/four.h")}));
    EXPECT_EQ(tabs().editorTabLabel(1), "four.h");
    EXPECT_TRUE(markedTabs().isEmpty());

    popups.shown.clear();
    app->commands().run("mSaveProject");
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 35");
    EXPECT_EQ(readFile(project), text);
}

TEST_F(ProjectTest, UnsavedEditsAreAskedAboutBeforeTheTabsAreReplaced) {
    const QString mine = writeFile("mine.asm", "nop\n");
    openFiles(mine, {});
    editorOf(0)->setText("nop\nstop\n");
    writeFile("q/other.asm", "halt\n");
    const QString project = writeFile("q/other.prj", "[Files]\r\nASM = \"other.asm\"\r\n");

    popups.answers = {answerCancel};
    openProject(project);
    EXPECT_EQ(popups.titles(), "Save Changes");
    EXPECT_EQ(editorText(0), "nop\nstop\n");
    EXPECT_TRUE(editorOf(0)->isModified());
    EXPECT_EQ(lastProject(), "");

    popups.answers = {answerYes};
    openProject(project);
    EXPECT_EQ(readFile(mine), "nop\nstop\n");
    EXPECT_EQ(tabPaths(), QStringList{path("q/other.asm")});
    EXPECT_EQ(lastProject(), project);
}

TEST_F(ProjectTest, FilesBeyondFiftyAreRefusedWithOneMessage) {
    QByteArray text = "[Files]\r\nASM = \"main.asm\"\r\n";
    writeFile("big/main.asm", "nop\n");
    for (int i = 0; i < 60; ++i) {
        writeFile(QString("big/f%1.h").arg(i), "CONST a 1\n");
        text += QString("File%1 = \"f%1.h\"\r\n").arg(i).toUtf8();
    }
    openProject(writeFile("big/main.prj", text));
    EXPECT_EQ(tabs().editorTabCount(), 50);
    EXPECT_EQ(tabs().editorTab(49).path, path("big/f48.h"));
    ASSERT_EQ(popups.shown.size(), 1) << qPrintable(popups.titles());
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Warning 38");
    const QString& message = popups.shown[0].text;
    EXPECT_TRUE(message.startsWith("The project lists more files than can be open.\nAt most 50 "
                                   "files can be open at the same time; these were not opened:\n" +
                                   path("big/f49.h") + "\n"))
        << qPrintable(message);
    EXPECT_TRUE(message.contains(path("big/f58.h") + "\n... and 1 more\n")) << qPrintable(message);
}

TEST_F(ProjectTest, TheDialogsFailuresAndAnUnreadableProjectChangeNothing) {
    dialogs.choices = {{-1, {}}};
    app->commands().run("mOpenProject");
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 30");

    QDir(dir.path()).mkpath("folder.prj");
    openProject(path("folder.prj"));
    ASSERT_EQ(popups.shown.size(), 2);
    EXPECT_EQ(popups.shown[1].title, "ivra-ASM Error 37");
    EXPECT_EQ(lastProject(), "");
    EXPECT_EQ(title(), "KZ71 Assembler");
    EXPECT_EQ(tabs().editorTabLabel(0), "untitled.asm");
}

TEST_F(ProjectTest, SearchExamplesStartsInTheShippedExamples) {
    dialogs.choices = {{1, {QString(KZ71_BIN_DIR) + "/examples/config/config.prj"}}};
    app->commands().run("mHelpSearchExamples");
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].start, QString(KZ71_BIN_DIR) + "/examples");
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
    const QString folder = QString(KZ71_BIN_DIR) + "/examples/config/";
    EXPECT_EQ(tabPaths(), (QStringList{folder + "config.asm", folder + "board.h",
                                       folder + "inc/limits.h", folder + "inc/filter.h"}));
    EXPECT_EQ(markedTabs(), QList<int>{0});

    // An examples folder in the working directory comes first.
    QDir(dir.path()).mkpath("examples");
    app->commands().run("mHelpSearchExamples");
    EXPECT_EQ(dialogs.requests[1].start, path("examples"));
}

TEST_F(ProjectTest, QuitSavesTheProjectAndTheNextStartReopensIt) {
    const QString folder = R"(my "odd" $(dir); x)";
    const QString demo = writeFile(folder + "/demo.asm", "nop\nstop\n");
    const QString defs = writeFile(folder + "/inc/defs.h", "CONST a 1\n");
    const QString later = writeFile(folder + "/later.h", "CONST b 2\n");
    openFiles(demo, {defs, later});
    popups.answers = {answerYes}; // "Do you want to save project file?"
    ASSERT_TRUE(Quit(*app));
    const QString project = path(folder + "/demo.prj");
    EXPECT_EQ(popups.titles(), "Save Project");
    EXPECT_TRUE(QFile::exists(project));
    EXPECT_TRUE(readFile("settings.ini").contains(R"(Last project = ")"));

    QFile::remove(later); // a file gone by the next start still gets its (empty) tab
    app->discardPanels();
    popups.shown.clear();
    ASSERT_EQ(start(), StartResult::mainWindow);
    EXPECT_EQ(lastProject(), project);
    EXPECT_EQ(tabPaths(), (QStringList{demo, defs, later}));
    EXPECT_EQ(editorText(0), "nop\nstop\n");
    EXPECT_EQ(editorText(2), "");
    EXPECT_EQ(markedTabs(), QList<int>{0});
    EXPECT_EQ(tabs().editorTabLabel(1), "defs.h");
    EXPECT_EQ(tabs().currentFileText(), demo);
    EXPECT_EQ(title(), "KZ71 Assembler - " + project);
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
}

TEST_F(ProjectTest, AStartWithoutALastProjectIsUntitled) {
    for (const char* last : {"", "gone/gone.prj"}) {
        app->settings().setLastProject(last);
        ASSERT_TRUE(saveSettingsOrTell(*app));
        app->discardPanels();
        ASSERT_EQ(start(), StartResult::mainWindow);
        EXPECT_EQ(tabPaths(), QStringList{"untitled.asm"});
        EXPECT_EQ(markedTabs(), QList<int>{0});
        EXPECT_EQ(title(), "KZ71 Assembler");
        EXPECT_TRUE(popups.shown.isEmpty());
    }
}

} // namespace
} // namespace ide::test
