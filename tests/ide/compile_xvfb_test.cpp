// The real program on Xvfb under openbox, driven from the keyboard as a new user would:
// Help/Search Examples opens an example, Ctrl+F6 assembles it with the real build script and
// tarn, quitting with "Save Project? Yes" saves the project and the next start reopens it,
// also from a folder whose name a shell would take apart. Screenshots go to the build folder.
#include "settings/ini.h"
#include "window_manager_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int wait_ms = 20000;

bool waitFor(const std::function<bool()>& condition, int ms = wait_ms) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > ms) return false;
        QThread::msleep(50);
    }
    return true;
}

QByteArray output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return process.readAllStandardOutput();
}

QString windowList() {
    return QString::fromUtf8(output("xwininfo", {"-root", "-tree"}));
}

bool hasWindow(const QString& title) {
    return windowList().contains("\"" + title + "\": (");
}

// Keys for the window that has the focus, as the X server's test extension types them.
void keys(const QStringList& names) {
    QThread::msleep(300); // let the focus settle on a window that just appeared
    output("xdotool", QStringList{"key", "--delay", "50"} + names);
}

void type(const QString& text) {
    QThread::msleep(300);
    output("xdotool", {"type", "--delay", "30", text});
}

void copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& entry :
         QDir(from).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        if (entry.isDir())
            copyTree(entry.filePath(), to + "/" + entry.fileName());
        else
            QFile::copy(entry.filePath(), to + "/" + entry.fileName());
    }
}

// A copy of the installation in bin/: the program itself and the examples copied (it keeps
// settings.ini beside itself, and builds write beside the sources), the rest linked.
void installInto(const QString& dir) {
    QDir bin(KZ71_BIN_DIR);
    for (const QFileInfo& entry : bin.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        const QString name = entry.fileName();
        if (name == "settings.ini" || name == "win32.info") continue;
        if (name == "kz71-assembler")
            QFile::copy(entry.filePath(), dir + "/" + name);
        else if (name == "examples")
            copyTree(entry.filePath(), dir + "/" + name);
        else
            QFile::link(entry.filePath(), dir + "/" + name);
    }
}

class CompileUnderX : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        installInto(dir.path());
        const std::string failure = window_manager::start(manager);
        ASSERT_TRUE(failure.empty()) << "openbox did not come up: " << failure;
    }
    void TearDown() override {
        ide.kill();
        ide.waitForFinished(5000);
        manager.terminate();
        manager.waitForFinished(5000);
    }
    void startIde() {
        ide.setWorkingDirectory(dir.path());
        ide.setProcessChannelMode(QProcess::ForwardedChannels);
        ide.start(dir.path() + "/kz71-assembler", {"--simulator"});
        ASSERT_TRUE(ide.waitForStarted(10000));
    }
    // The title the main window shows with `project` as the last project.
    static QString titleWith(const QString& project) { return "KZ71 Assembler - " + project; }
    // Ctrl+F6, then the three output files beside `source` and the message file gone.
    void compile(const QString& source) {
        const QString stem = source.left(source.lastIndexOf('.'));
        keys({"ctrl+F6"});
        for (const char* extension : {".hex", ".epr", ".dbg"})
            EXPECT_TRUE(waitFor([&] { return QFile::exists(stem + extension); })) << extension;
        EXPECT_TRUE(waitFor([&] { return !QFile::exists(dir.filePath("TARNOutpMsg.tmp")); }));
    }
    // Closes the main window and answers "Yes" to "Save Project".
    void quitSavingTheProject() {
        keys({"alt+F4"});
        ASSERT_TRUE(waitFor([] { return hasWindow("Save Project"); })) << qPrintable(windowList());
        keys({"Return"});
        ASSERT_TRUE(ide.waitForFinished(wait_ms));
        EXPECT_EQ(ide.exitCode(), 0);
    }
    void screenshot(const QString& name) {
        QThread::msleep(500);
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        EXPECT_TRUE(shot.save(QString(KZ71_BUILD_DIR) + "/" + name));
    }
    std::string lastProject() const {
        const auto settings =
            ini::IniText::readFile(dir.filePath("settings.ini").toStdString(), 1 << 20);
        return settings ? settings->getString("Files", "Last project").value_or("") : "";
    }

    QTemporaryDir dir;
    QProcess manager;
    QProcess ide;
};

TEST_F(CompileUnderX, AnExampleIsCompiledAndItsProjectReopenedAfterARestart) {
    int argc = 1;
    char name[] = "compile_xvfb";
    char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);

    // Help/Search Examples (F4) starts in the examples; the user picks one and compiles it.
    startIde();
    ASSERT_TRUE(waitFor([] { return hasWindow("KZ71 Assembler"); })) << qPrintable(windowList());
    keys({"F4"});
    ASSERT_TRUE(waitFor([] { return hasWindow("Open File"); })) << qPrintable(windowList());
    type("eeprom/eeprom.prj");
    keys({"Return"});
    const QString example = dir.filePath("examples/eeprom/eeprom.prj");
    ASSERT_TRUE(waitFor([&] { return hasWindow(titleWith(example)); })) << qPrintable(windowList());
    compile(dir.filePath("examples/eeprom/eeprom.asm"));
    screenshot("kz71-compile-screenshot.png");
    quitSavingTheProject();
    EXPECT_EQ(lastProject(), example.toStdString());

    // The same example in a folder named like a shell command, made the last project.
    const QString folder = dir.filePath(R"(my "odd" $(dir); x)");
    copyTree(dir.filePath("examples/eeprom"), folder);
    for (const char* output : {"eeprom.hex", "eeprom.epr", "eeprom.dbg"})
        QFile::remove(folder + "/" + output);
    const QString odd = folder + "/eeprom.prj";
    auto settings = ini::IniText::readFile(dir.filePath("settings.ini").toStdString(), 1 << 20);
    ASSERT_TRUE(settings);
    settings->putString("Files", "Last project", odd.toStdString());
    ASSERT_TRUE(settings->writeFile(dir.filePath("settings.ini").toStdString()));

    startIde();
    ASSERT_TRUE(waitFor([&] { return hasWindow(titleWith(odd)); })) << qPrintable(windowList());
    compile(folder + "/eeprom.asm");
    quitSavingTheProject();
    EXPECT_EQ(lastProject(), odd.toStdString());

    startIde();
    EXPECT_TRUE(waitFor([&] { return hasWindow(titleWith(odd)); })) << qPrintable(windowList());
    screenshot("kz71-restart-screenshot.png");
}

} // namespace
