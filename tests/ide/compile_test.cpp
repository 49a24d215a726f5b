// Compile on the Assembler page with a scripted build script on the virtual clock: the saved
// tabs, the messages shown as tarn printed them, the output paths, every failure's popup and
// its timing, and the window that keeps being served while the user cannot act in it.
#include "build/compile.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"
#include "pages/assembler_page.h"
#include "scripted_launcher.h"
#include "shell/appearance.h"
#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcutEvent>
#include <QTimer>
#include <Qsci/qsciscintilla.h>

namespace ide::test {
namespace {

using namespace std::chrono_literals;

const QString success_line = "INFO: %1: Processing was successful\n";

class CompileTest : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        app->setLauncher(&launcher);
        ASSERT_EQ(start(), StartResult::mainWindow);
    }
    // Opens a source in a tab of its own; the first .asm file takes the main-file mark.
    QString open(const QString& name, const QByteArray& text) {
        const QString file = writeFile(name, text);
        tabs().openChosenPath(file);
        return file;
    }
    // The main file in a tab of its own, the only marked one.
    QString openMain(const QString& name, const QByteArray& text = "nop\nstop\n") {
        tabs().setMainFileMark(0, false);
        return open(name, text);
    }
    // A script run that leaves `messages` as tarn's captured output.
    ScriptedProgram leaving(const QByteArray& messages, kz71::Clock::Duration runsFor = 20ms) {
        return {false, runsFor, [this, messages] { writeFile(message_file_name, messages); }};
    }
    void compile() { app->commands().run("mAssemblerCompile"); }
    QString messages() const { return find<QPlainTextEdit>("asmMessages")->toPlainText(); }
    QColor buttonColour() const {
        return find<QPushButton>("compileButton")->palette().color(QPalette::Button);
    }
    const BuildOutputs& outputs() const { return app->build(); }

    ScriptedLauncher launcher{clock};
};

TEST_F(CompileTest, ShowsTarnsMessagesUnchangedAndSetsTheOutputPaths) {
    const QString source = openMain("work/prog.asm");
    const QString include = open("work/defs.h", "CONST a 1\n");
    editorOf(2)->setText("CONST a 2\n"); // an edited tab is written before the build
    const QByteArray text = "work/prog.asm:  Line 3  ERROR: unknown mnemonic 'nopp'\r\n" +
                            success_line.arg(source).toUtf8() + "ünïcode ok\n";
    QColor during;
    ScriptedProgram script = leaving(text);
    script.atEnd = [&, atEnd = script.atEnd] {
        during = buttonColour();
        EXPECT_EQ(readFile(include), "CONST a 2\n");
        atEnd();
    };
    launcher.programs = {script};
    int debugEnds = 0;
    app->setDebugSessionEnd([&] { ++debugEnds; });
    main().showPage(2);

    compile();
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
    EXPECT_EQ(main().frontPage(), 0);
    ASSERT_EQ(launcher.launched.size(), 1);
    EXPECT_EQ(launcher.launched[0].program, QString(KZ71_BIN_DIR) + "/kz71.sh");
    EXPECT_EQ(launcher.launched[0].arguments, QStringList{source});
    EXPECT_EQ(messages(), QString::fromUtf8(text).replace("\r\n", "\n"));
    EXPECT_EQ(outputs().mainFilePath, source);
    EXPECT_EQ(outputs().hexFilePath, path("work/prog.hex"));
    EXPECT_EQ(outputs().eprFilePath, path("work/prog.epr"));
    EXPECT_EQ(outputs().dbgFilePath, path("work/prog.dbg"));
    EXPECT_EQ(during, running_red);
    EXPECT_EQ(buttonColour(), run_green);
    EXPECT_FALSE(QFile::exists(path(message_file_name)));
    EXPECT_EQ(debugEnds, 1);
    EXPECT_FALSE(editorOf(2)->isModified());
}

TEST_F(CompileTest, TheScriptInTheWorkingDirectoryComesFirstAndTheLastMarkedTabIsTheMainFile) {
    writeFile(build_script_name, "#!/bin/sh\n");
    writeFile(second_pass_message_file_name, "left by a second pass");
    openMain("a.asm");
    const QString second = open("b.asm", "nop\n");
    tabs().setMainFileMark(2, true);
    launcher.programs = {leaving("INFO: done\n")};
    compile();
    ASSERT_EQ(launcher.launched.size(), 1);
    EXPECT_EQ(launcher.launched[0].program, path(build_script_name));
    EXPECT_EQ(launcher.launched[0].arguments, QStringList{second});
    EXPECT_FALSE(QFile::exists(path(second_pass_message_file_name)));
}

TEST_F(CompileTest, OutputPathsReplaceOnlyTheFileNamesExtensionAsTarnDoes) {
    EXPECT_EQ(outputPath("/w/prog.asm", "hex"), "/w/prog.hex");
    EXPECT_EQ(outputPath("/w/prog.v2.asm", "epr"), "/w/prog.v2.epr");
    EXPECT_EQ(outputPath("/w/my.dir/prog", "dbg"), "/w/my.dir/prog.dbg");
    EXPECT_EQ(outputPath("prog", "hex"), "prog.hex");
    EXPECT_EQ(outputPath("/w/.hidden", "hex"), "/w/.hex");
}

TEST_F(CompileTest, WithoutAMainFileOnDiskOnlyTheCompileRunErrorBoxIsShown) {
    // The untitled file has never been written: it is not saved by the build, and not waited
    // for either, as no file will ever appear for it.
    editorOf(0)->setText("nop\n");
    compile();
    EXPECT_TRUE(launcher.launched.isEmpty());
    EXPECT_FALSE(QFile::exists(path("untitled.asm")));
    EXPECT_EQ(clock.now(), 0s);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "Compile/Run Error");
    EXPECT_EQ(popups.shown[0].text, "Cannot compile!\nThere is no source file.");
    EXPECT_EQ(popups.shown[0].icon, PopupIcon::error);
    EXPECT_EQ(messages(), "Ready...");
    EXPECT_EQ(buttonColour(), run_green);
    EXPECT_TRUE(outputs().hexFilePath.isEmpty());

    // A main file that went from the disk may come back (a network drive): it is waited for.
    const QString gone = openMain("gone.asm");
    QFile::remove(gone);
    popups.shown.clear();
    compile();
    EXPECT_TRUE(launcher.launched.isEmpty());
    EXPECT_EQ(clock.now(), 5s);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "Compile/Run Error");
}

TEST_F(CompileTest, AFailedSaveStopsTheBuildAndNamesTheFile) {
    openMain("prog.asm");
    const QString lost = open("removed/defs.h", "CONST a 1\n");
    QDir(path("removed")).removeRecursively(); // e.g. a folder on a drive that went away
    editorOf(2)->setText("CONST a 2\n");
    tabs().activateEditorTab(1);
    compile();
    EXPECT_TRUE(launcher.launched.isEmpty());
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 98");
    EXPECT_TRUE(popups.shown[0].text.startsWith(
        QString("Cannot compile!\nSaving of file %1 failed. (Return value -1)\n").arg(lost)))
        << qPrintable(popups.shown[0].text);
    EXPECT_EQ(tabs().activeEditorTab(), 2);
    EXPECT_TRUE(editorOf(2)->isModified());
    EXPECT_EQ(buttonColour(), run_green);
}

TEST_F(CompileTest, AScriptThatCannotStartIsPopup93) {
    openMain("prog.asm");
    launcher.programs = {{true, {}, {}}};
    compile();
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 93");
    EXPECT_EQ(popups.shown[0].text, "Launching TARN failed!\nPlease try again\nError 93");
}

TEST_F(CompileTest, AScriptThatNeverEndsIsRestartedOnceInTheLifeOfTheIde) {
    const QString source = openMain("prog.asm");
    launcher.programs = {{false, std::nullopt, {}}, leaving(success_line.arg(source).toUtf8())};
    compile();
    EXPECT_TRUE(popups.shown.isEmpty());
    EXPECT_EQ(launcher.launched.size(), 2);
    EXPECT_EQ(launcher.terminated, 1);
    EXPECT_GE(clock.now(), 50s);
    EXPECT_LT(clock.now(), 51s);
    EXPECT_EQ(messages(), success_line.arg(source));

    // The next time the script hangs, the build gives up after 50 s.
    const auto second = clock.now();
    launcher.programs = {{false, std::nullopt, {}}, leaving("never read")};
    compile();
    EXPECT_EQ(launcher.launched.size(), 3);
    EXPECT_EQ(launcher.terminated, 2);
    EXPECT_GE(clock.now() - second, 50s);
    EXPECT_LT(clock.now() - second, 51s);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ivra-ASM Error 94");
    EXPECT_EQ(popups.shown[0].text, "Launching TARN timed out!\nPlease try again.\nError 94");
    EXPECT_EQ(messages(), success_line.arg(source)); // the box keeps the last messages
    EXPECT_EQ(buttonColour(), run_green);
}

TEST_F(CompileTest, MessageFileFailuresArePopupsAndKeepTheOldMessagesAndPaths) {
    openMain("prog.asm");
    struct Case {
        const char* name;
        std::function<void()> atEnd;
        const char* title;
        const char* text;
        kz71::Clock::Duration waited;
    };
    const Case cases[] = {
        {"no file", [] {}, "ivra-ASM Warning 106",
         "Message output was not updated properly.\nPlease run again, or start application as "
         "Administrator.\nWarning 106",
         5s},
        {"empty file", [this] { writeFile(message_file_name, ""); }, "ivra-ASM Error 97",
         "Cannot read temporary file.\nPlease try again.\nError 97", 50s},
        {"a folder", [this] { QDir(dir.path()).mkpath(message_file_name); }, "ivra-ASM Error 95",
         "Cannot get file handle for output messages!\nPlease check disk space\nError 95", 0s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        popups.shown.clear();
        const auto before = clock.now();
        launcher.programs = {{false, 0ms, c.atEnd}};
        compile();
        ASSERT_EQ(popups.shown.size(), 1);
        EXPECT_EQ(popups.shown[0].title, c.title);
        EXPECT_EQ(popups.shown[0].text, c.text);
        EXPECT_GE(clock.now() - before, c.waited);
        EXPECT_LT(clock.now() - before, c.waited + 1s);
        EXPECT_EQ(messages(), "Ready...");
        EXPECT_TRUE(outputs().hexFilePath.isEmpty());
        QDir(path(message_file_name)).removeRecursively();
    }
}

TEST_F(CompileTest, MessagesAppearingLateAreWaitedFor) {
    const QString source = openMain("prog.asm");
    // The script ends; its output arrives 3 s later and grows from nothing to the text.
    launcher.programs = {{false, 0ms, [this] { writeFile(message_file_name, ""); }}};
    QTimer later;
    const auto start = clock.now();
    QObject::connect(&later, &QTimer::timeout, [&] {
        if (clock.now() - start >= 3s && readFile(message_file_name).isEmpty())
            writeFile(message_file_name, success_line.arg(source).toUtf8());
    });
    later.start(0);
    compile();
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
    EXPECT_EQ(messages(), success_line.arg(source));
    EXPECT_LT(clock.now() - start, 4s);
}

TEST_F(CompileTest, TheWindowIsServedWhileTheUserCannotActInIt) {
    openMain("prog.asm");
    auto* button = find<QPushButton>("compileButton");
    int timerRuns = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++timerRuns; });
    timer.start(0);
    // While the script runs, the user clicks Compile, presses Ctrl+F6 and closes the window.
    auto clickAndClose = [&] {
        const QPointF centre(button->width() / 2.0, button->height() / 2.0);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                button, new QMouseEvent(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                                        Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(window(), new QCloseEvent);
        QCoreApplication::postEvent(find<QAction>("mAssemblerCompile"),
                                    new QShortcutEvent(QKeySequence("Ctrl+F6"), 0));
    };
    launcher.programs = {leaving("INFO: done\n", 1s)};
    QTimer user;
    user.setSingleShot(true);
    QObject::connect(&user, &QTimer::timeout, clickAndClose);
    user.start(0);
    compile();
    settle();
    EXPECT_GT(timerRuns, 1);
    EXPECT_EQ(launcher.launched.size(), 1); // neither click nor key started a second build
    EXPECT_FALSE(app->quitRequested());     // nor did the close end the program
    EXPECT_TRUE(window()->isVisible());
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
    EXPECT_EQ(messages(), "INFO: done\n");
    // Afterwards the window takes input again.
    launcher.programs = {leaving("INFO: again\n")};
    button->click();
    EXPECT_EQ(launcher.launched.size(), 2);
}

} // namespace
} // namespace ide::test
