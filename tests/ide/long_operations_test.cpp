// Compile, a download and a debug run side by side on the simulated chip: none of them starts
// while another runs, from whatever part of the IDE it is asked for, and the "Executable
// Watchdog" rests while any of them works.
#include "debugger_page_fixture.h"
#include "editor/editor_tabs.h"
#include "scripted_launcher.h"
#include "shell/main_window.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <functional>

namespace ide::test {
namespace {

using namespace std::chrono_literals;

// Never ends: x counts up for ever.
const char* const endless_source = "\tmove y, 1\n"
                                   "again:\tincr x\n"
                                   "\tgoto again\n"
                                   "\tstop\n";

class LongOperations : public DebuggerPageTest {
protected:
    void SetUp() override {
        DebuggerPageTest::SetUp();
        app->setLauncher(&launcher);
    }
    // prog.asm built, open in a tab of its own as the main file; the build script runs 1 s and
    // leaves tarn's last line.
    void buildMain(const QString& source) {
        build(source, {{"tail.h", counting_tail}});
        tabs().setMainFileMark(0, false);
        tabs().openChosenPath(path("prog.asm"));
        launcher.programs = {{false, 1s, [this] { writeFile("TARNOutpMsg.tmp", "INFO: done\n"); }}};
    }
    // Runs `inside` once whenever the windows are served while `operation` works, and records
    // whether the watchdog was running each time.
    void whileServed(const std::function<void()>& operation, const std::function<void()>& inside) {
        QTimer during;
        during.setInterval(0);
        bool done = false;
        QObject::connect(&during, &QTimer::timeout, [&] {
            watchdogRan = watchdogRan || app->shell().watchdog->isActive();
            ++served;
            if (!std::exchange(done, true)) inside();
        });
        during.start();
        operation();
        during.stop();
    }
    QString downloadMessages() const {
        return find<QPlainTextEdit>("downloadMessages")->toPlainText();
    }
    // Every other long operation, asked for as the menus and page buttons ask.
    void askForTheOthers() {
        for (const char* command : {"mAssemblerCompile", "mDownloadHexFile", "mDownloadGetDevInfo",
                                    "mDebuggerSingleStep", "mDebuggerRunToBP"})
            app->commands().run(command);
        app->commands().run("mDebuggerSingleStep", CommandOrigin::button);
    }

    ScriptedLauncher launcher{clock};
    bool watchdogRan = false;
    int served = 0;
};

TEST_F(LongOperations, NoneStartsDuringACompile) {
    buildMain(counting_source);
    whileServed([&] { app->commands().run("mAssemblerCompile"); }, [&] { askForTheOthers(); });
    EXPECT_GT(served, 1);
    EXPECT_EQ(launcher.launched.size(), 1);
    EXPECT_TRUE(nothingSent()) << wire().front();
    EXPECT_TRUE(popups.shown.isEmpty()) << popups.titles().toStdString();
    EXPECT_FALSE(watchdogRan);
    EXPECT_TRUE(app->shell().watchdog->isActive());
    EXPECT_EQ(find<QPlainTextEdit>("asmMessages")->toPlainText(), "INFO: done\n");
}

TEST_F(LongOperations, NoneStartsDuringADownload) {
    buildMain(counting_source);
    bool asked = false;
    QObject::connect(find<QProgressBar>("downloadProgress"), &QProgressBar::valueChanged, [&] {
        watchdogRan = watchdogRan || app->shell().watchdog->isActive();
        if (!std::exchange(asked, true)) askForTheOthers();
    });
    app->commands().run("mDownloadHexFile");
    EXPECT_TRUE(asked);
    EXPECT_TRUE(launcher.launched.isEmpty());
    EXPECT_FALSE(chipInDebugMode());
    EXPECT_EQ(steps(), 0u);
    EXPECT_FALSE(downloadMessages().contains("Devices found"));
    EXPECT_EQ(downloadMessages().count("Opening connection..."), 1);
    EXPECT_EQ(text("statusText"), "SUCCESS");
    EXPECT_FALSE(watchdogRan);
    EXPECT_TRUE(app->shell().watchdog->isActive());
}

TEST_F(LongOperations, NoneStartsDuringADebugRun) {
    buildMain(endless_source);
    showDebuggerPage();
    whileServed([&] { click("runToBreakpointButton"); }, [&] { askForTheOthers(); });
    EXPECT_GT(served, 100);
    // The run went on to its time limit: no build, no download, no second run came between.
    EXPECT_EQ(popups.titles(), "ivra-ASM Warning 217");
    EXPECT_TRUE(launcher.launched.isEmpty());
    EXPECT_FALSE(downloadMessages().contains("Download"));
    EXPECT_FALSE(downloadMessages().contains("Devices found"));
    EXPECT_TRUE(chipInDebugMode());
    EXPECT_FALSE(watchdogRan);
    EXPECT_TRUE(app->shell().watchdog->isActive());
    // Afterwards each of them runs again.
    app->commands().run("mDownloadGetDevInfo");
    EXPECT_TRUE(downloadMessages().contains("Devices found: 1"));
}

} // namespace
} // namespace ide::test
