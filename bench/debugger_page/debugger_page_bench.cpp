// Run to Breakpoint on the simulated chip with no transfer latency, in steps per second: the
// debugger core alone (a view and a report that show nothing) against the Debugger page of a
// started IDE on Qt's offscreen platform (listings, hex view, registers, the busy window and its
// keep-alive). The difference is what the page adds per step; goal: core and page together
// under 5 microseconds per step on top of the simulator's own cost.
#include "app/application.h"
#include "breakpoint_program.h"
#include "pages/debugger_page.h"
#include "programmer/breakpoints.h"
#include "programmer/download_image.h"
#include "programmer/run_control.h"
#include "quiet_debugger.h"
#include "shell/main_window.h"
#include "simulated_chip.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace programmer;
using ide::test::putIntoSpiEeprom;
using ide::test::useSimulatedChip;

class QuietPopups : public ide::PopupHandler {
public:
    int show(const ide::Popup&) override { return ide::answerNo; }
};

// A started IDE with the program assembled, in the chip and loaded on the Debugger page.
struct StartedIde {
    StartedIde() {
        QDir::setCurrent(dir.path());
        QFile source(dir.filePath("prog.asm"));
        source.open(QIODevice::WriteOnly);
        source.write(breakpoint_program);
        source.close();
        QProcess tarn;
        tarn.setWorkingDirectory(dir.path());
        tarn.start(QString(KZ71_BIN_DIR) + "/tarn", {"prog.asm"});
        tarn.waitForFinished(30000);
        std::string error;
        useSimulatedChip(clock, error, kz71::Clock::Duration::zero());
        app.popups().setHandler(&popups);
        app.setClock(&clock);
        app.startUp({1024, 768, 1252});
        app.build().hexFilePath = dir.filePath("prog.hex");
        app.build().dbgFilePath = dir.filePath("prog.dbg");
        DownloadImage image;
        loadHexImage(page().debugger().link, image, app.build().hexFilePath.toStdString());
        putIntoSpiEeprom(
            std::span(image.code).first(static_cast<std::size_t>(image.lastIndex + 1)));
        page().refreshDebuggerPage();
        toggleBreakpointAtLine(page().debugger(), 0, breakpoint_line);
    }
    ~StartedIde() { app.discardPanels(); }
    ide::DebuggerPage& page() { return app.mainWindow()->debuggerPage(); }
    void refreshEveryStep(bool on) {
        app.settings().set(&ide::Settings::suppressDebugInfoRefreshing, on ? 0 : 1);
    }

    QTemporaryDir dir;
    kz71::VirtualClock clock;
    QuietPopups popups;
    ide::Application app{{dir.path(), QString(KZ71_BIN_DIR) + "/panels", KZ71_BIN_DIR}};
};

// Made in main, between the Qt application and its end.
StartedIde* started_ide = nullptr;

StartedIde& ide() {
    return *started_ide;
}

// The core alone, on the same simulator and program.
void RunToBreakpointCore(benchmark::State& state) {
    StartedIde& started = ide();
    ProgrammerSession session;
    QuietReport report;
    ProgrammerLink link{session, report, started.clock};
    QuietView view;
    Debugger debugger{link, view};
    debugger.hexFilePath = started.app.build().hexFilePath.toStdString();
    debugger.dbgFilePath = started.app.build().dbgFilePath.toStdString();
    debugger.settings.suppressDebugInfoRefreshing = state.range(0) == 0;
    debugger.settings.suppressProperFileDetection = true;
    loadDebugProgram(debugger);
    toggleBreakpointAtLine(debugger, 0, breakpoint_line);
    for (auto _ : state) {
        resetChip(debugger);
        if (runToBreakpoint(debugger).reason != StopReason::breakpoint)
            state.SkipWithError("no breakpoint reached");
    }
    exitDebugMode(debugger);
    reportSteps(state);
}
BENCHMARK(RunToBreakpointCore)->ArgName("refresh")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The Debugger page's Run to Breakpoint button.
void RunToBreakpointPage(benchmark::State& state) {
    StartedIde& started = ide();
    started.refreshEveryStep(state.range(0) != 0);
    ide::DebuggerPage& page = started.page();
    for (auto _ : state) {
        page.cbResetBtn();
        page.cbRunToBreakpoint();
        if (page.debugger().state.previousAddress == 0) state.SkipWithError("did not run");
    }
    page.cbExitDbgMode();
    reportSteps(state);
}
BENCHMARK(RunToBreakpointPage)->ArgName("refresh")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        StartedIde started;
        started_ide = &started;
        benchmark::RunSpecifiedBenchmarks();
        started_ide = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
