// The real build: the build script and the version scripts of the installation in bin/, the
// process launcher, and Compile with the real script and tarn on sources in folders whose
// names a shell would take apart.
#include "build/compile.h"
#include "build/launcher.h"
#include "build/version_info.h"
#include "editor/editor_tabs.h"
#include "ide_fixture.h"
#include "scripted_launcher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <sys/types.h>

namespace ide::test {
namespace {

using namespace std::chrono_literals;

const QString bin = KZ71_BIN_DIR;
const QString odd_folders[] = {R"(my "odd" $(dir); x)", "`tick` it's \\ back; ünï"};

// Runs a program of bin/ in `workingDirectory` to its end; its exit code.
int runInstalled(const QString& name, const QStringList& arguments,
                 const QString& workingDirectory) {
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(bin + "/" + name, arguments);
    if (!process.waitForFinished(30000)) return -100;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -200;
}

bool processGone(qint64 pid) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0) return true;
    // An ended process nobody has reaped yet is gone too.
    QFile stat(QString("/proc/%1/stat").arg(pid));
    return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
}

bool waitUntil(const std::function<bool()>& condition) {
    QElapsedTimer waited;
    waited.start();
    while (!condition() && waited.elapsed() < 10000)
        QThread::msleep(5);
    return condition();
}

using BuildScript = IdeTest;

TEST_F(BuildScript, AssemblesItsOneArgumentIntoTheMessageFileOfTheWorkingDirectory) {
    for (const QString& folder : odd_folders) {
        SCOPED_TRACE(folder.toStdString());
        const QString source = writeFile(folder + "/prog.asm", "#include \"defs.h\"\nnop\nstop\n");
        writeFile(folder + "/defs.h", "CONST a 1\n");
        ASSERT_EQ(runInstalled("kz71.sh", {source}, dir.path()), 0);
        EXPECT_EQ(readFile("TARNOutpMsg.tmp"),
                  QString("INFO: %1: Processing was successful\n").arg(source).toUtf8());
        EXPECT_TRUE(QFile::exists(path(folder + "/prog.hex")));
        EXPECT_TRUE(QFile::exists(path(folder + "/prog.dbg")));
    }
    // A name that looks like an option is still a file.
    writeFile("-v", "nop\nstop\n");
    EXPECT_EQ(runInstalled("kz71.sh", {"-v"}, dir.path()), 0);
    EXPECT_EQ(readFile("TARNOutpMsg.tmp"), "INFO: ./-v: Processing was successful\n");
}

TEST_F(BuildScript, ReportsWhatGoesWrongInTheMessageFile) {
    EXPECT_EQ(runInstalled("kz71.sh", {}, dir.path()), 2);
    EXPECT_EQ(runInstalled("kz71.sh", {"a.asm", "b.asm"}, dir.path()), 2);
    EXPECT_FALSE(QFile::exists(path("TARNOutpMsg.tmp")));

    // A script without a tarn beside it says so where the IDE looks.
    ASSERT_TRUE(QDir().mkpath(path("lonely")));
    ASSERT_TRUE(QFile::copy(bin + "/kz71.sh", path("lonely/kz71.sh")));
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(path("lonely/kz71.sh"), {path("prog.asm")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(readFile("TARNOutpMsg.tmp"),
              QString("ERROR: kz71.sh: the assembler %1 is missing or cannot be run\n")
                  .arg(path("lonely/tarn"))
                  .toUtf8());

    // A tarn that ends without a word still leaves a line for the IDE to show.
    writeFile("lonely/tarn", "#!/bin/sh\nexit 3\n");
    QFile::setPermissions(path("lonely/tarn"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    process.start(path("lonely/kz71.sh"), {path("prog.asm")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 3);
    EXPECT_EQ(readFile("TARNOutpMsg.tmp"),
              "ERROR: kz71.sh: tarn ended with exit code 3 without a message\n");
}

TEST_F(BuildScript, VersionScriptsLeaveTheVersionFiles) {
    EXPECT_EQ(runInstalled("kz71", {"-v"}, dir.path()), 0);
    EXPECT_EQ(readFile("verInfoTARN.txt"), "2.0");
    EXPECT_FALSE(QFile::exists(path("verInfoFELL.txt")));
    EXPECT_EQ(runInstalled("wick", {"-v"}, dir.path()), 0);
    EXPECT_EQ(readFile("verInfoWICK.txt"), "2.0");
    EXPECT_EQ(runInstalled("kz71", {}, dir.path()), 2);
    EXPECT_EQ(runInstalled("wick", {"--help"}, dir.path()), 2);
}

TEST_F(BuildScript, TheLauncherEndsAScriptAndWhatItStarted) {
    const QString script = writeFile("hang.sh", "#!/bin/sh\nsleep 300 &\necho $! > child.pid\n"
                                                "echo $$ > script.pid\nwait\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    std::unique_ptr<Launcher> launcher = makeProcessLauncher();
    LaunchFailure failure;
    std::unique_ptr<LaunchedProgram> run = launcher->launch(script, {}, failure);
    ASSERT_TRUE(run);
    ASSERT_TRUE(waitUntil([&] { return !readFile("child.pid").isEmpty(); }));
    ASSERT_TRUE(waitUntil([&] { return !readFile("script.pid").isEmpty(); }));
    EXPECT_FALSE(run->hasTerminated());
    run->terminate();
    EXPECT_TRUE(run->hasTerminated());
    EXPECT_TRUE(
        waitUntil([&] { return processGone(readFile("child.pid").trimmed().toLongLong()); }));
    EXPECT_TRUE(processGone(readFile("script.pid").trimmed().toLongLong()));

    const QString quick = writeFile("quick.sh", "#!/bin/sh\necho \"$1\" > argument.txt\n");
    QFile::setPermissions(quick, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    run = launcher->launch(quick, {"a \"b\" $(c); `d`"}, failure);
    ASSERT_TRUE(run);
    EXPECT_TRUE(waitUntil([&] { return run->hasTerminated(); }));
    EXPECT_EQ(readFile("argument.txt"), "a \"b\" $(c); `d`\n");

    EXPECT_FALSE(launcher->launch(path("missing.sh"), {}, failure));
    EXPECT_LT(failure.status, 0);
    EXPECT_FALSE(launcher->launchDetached(path("missing.sh"), {"-v"}));
}

// Compile in the IDE with the real script and tarn on the steady clock.
class RealCompile : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        app->setClock(nullptr);
        ASSERT_EQ(start(), StartResult::mainWindow);
    }
    QString messages() const { return find<QPlainTextEdit>("asmMessages")->toPlainText(); }
};

TEST_F(RealCompile, SourcesInOddlyNamedFoldersAssembleAndTheirErrorsAreShown) {
    for (const QString& folder : odd_folders) {
        SCOPED_TRACE(folder.toStdString());
        const QString source = writeFile(folder + "/prog.asm", "#include \"cells.h\"\nstop\n");
        writeFile(folder + "/cells.h", "usrEprInit 0, 0x5A\n");
        tabs().openChosenPath(source);
        tabs().setMainFileMark(0, false);
        for (int i = 1; i < tabs().editorTabCount(); ++i)
            tabs().setMainFileMark(i, tabs().editorTab(i).path == source);
        app->commands().run("mAssemblerCompile");
        EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
        EXPECT_EQ(messages(), QString("INFO: %1: Processing was successful\n").arg(source));
        for (const QString* output :
             {&app->build().hexFilePath, &app->build().eprFilePath, &app->build().dbgFilePath})
            EXPECT_TRUE(QFile::exists(*output)) << output->toStdString();
        EXPECT_EQ(app->build().hexFilePath, path(folder + "/prog.hex"));
        EXPECT_FALSE(QFile::exists(path("TARNOutpMsg.tmp")));
    }
    // A failing assembly: tarn's lines, no popup, the paths still set.
    const QString bad = writeFile("bad.asm", "nop\nadd x,\nstop\n");
    tabs().openChosenPath(bad);
    for (int i = 0; i < tabs().editorTabCount(); ++i)
        tabs().setMainFileMark(i, tabs().editorTab(i).path == bad);
    app->commands().run("mAssemblerCompile");
    EXPECT_TRUE(popups.shown.isEmpty()) << qPrintable(popups.titles());
    EXPECT_TRUE(messages().startsWith(bad + ":  Line 2  ERROR: ")) << qPrintable(messages());
    EXPECT_EQ(app->build().dbgFilePath, path("bad.dbg"));
}

TEST_F(RealCompile, VersionInfoWithoutTheToolsCannotBeObtained) {
    app->paths().dataDir = path("empty");
    mAssemblerVerInfo(*app);
    mDebuggerVerInfo(*app);
    ASSERT_EQ(popups.shown.size(), 2);
    EXPECT_EQ(popups.shown[0].title, "ASM Version Info");
    EXPECT_EQ(popups.shown[0].text, "Cannot obtain version information");
    EXPECT_EQ(popups.shown[1].title, "WICK Version Info");
    EXPECT_EQ(popups.shown[1].text, "Cannot obtain version information");
}

// The version popups over scripted tools on the virtual clock.
class VersionInfo : public IdeTest {
protected:
    void SetUp() override {
        IdeTest::SetUp();
        app->setLauncher(&launcher);
        ASSERT_EQ(start(), StartResult::mainWindow);
    }
    ScriptedProgram writing(const QString& file, const QByteArray& text) {
        return {false, {}, [this, file, text] { writeFile(file, text); }};
    }
    ScriptedLauncher launcher{clock};
};

TEST_F(VersionInfo, EachToolIsAskedAndItsFileShownInItsPopup) {
    launcher.programs = {writing("verInfoTARN.txt", "2.0"), {}};
    app->commands().run("mAssemblerVerInfo");
    ASSERT_EQ(launcher.detached.size(), 2); // once for each pass
    for (const LaunchRecord& run : launcher.detached) {
        EXPECT_EQ(run.program, bin + "/kz71");
        EXPECT_EQ(run.arguments, QStringList{"-v"});
    }
    EXPECT_EQ(clock.now(), 200ms);
    ASSERT_EQ(popups.shown.size(), 1);
    EXPECT_EQ(popups.shown[0].title, "ASM Version Info");
    EXPECT_EQ(popups.shown[0].text, "Version TARN: 2.0\nVersion FELL: n/a");

    writeFile("verInfoFELL.txt", " 1.25\r\n");
    writeFile("verInfoWICK.txt", "3");
    launcher.programs = {{}, {}, {}};
    app->commands().run("mAssemblerVerInfo");
    app->commands().run("mDebuggerVerInfo");
    ASSERT_EQ(popups.shown.size(), 3);
    EXPECT_EQ(popups.shown[1].text, "Version TARN: 2.0\nVersion FELL: 1.25");
    EXPECT_EQ(popups.shown[2].title, "WICK Version Info");
    EXPECT_EQ(popups.shown[2].text, "Version WICK: 3.0");
    EXPECT_EQ(launcher.detached.last().program, bin + "/wick");
}

TEST_F(VersionInfo, AFileWithoutANumberOrAToolThatCannotStartIsTold) {
    writeFile("verInfoTARN.txt", "version two");
    QDir(dir.path()).mkpath("verInfoWICK.txt");
    launcher.programs = {{}, {}, {}};
    app->commands().run("mAssemblerVerInfo");
    app->commands().run("mDebuggerVerInfo");
    launcher.programs = {{}, {true, {}, {}}};
    app->commands().run("mAssemblerVerInfo");
    ASSERT_EQ(popups.shown.size(), 3);
    EXPECT_EQ(popups.shown[0].text, "Version TARN: n/a\nVersion FELL: n/a");
    EXPECT_EQ(popups.shown[1].text, "Version WICK: n/a");
    EXPECT_EQ(popups.shown[2].text, "Cannot obtain version information");
}

} // namespace
} // namespace ide::test
