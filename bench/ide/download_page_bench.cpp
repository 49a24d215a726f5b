// A full 8 KB SPI EEPROM download and read & verify from the Download page, on the simulated
// programmer with the real clock and the window on Qt's offscreen platform: how much the
// painting during the operation adds to the pauses the sequences must make.
#include "app/application.h"
#include "download_timing.h"
#include "programmer/backend_table.h"
#include "shell/main_window.h"
#include "shell/popups.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

// Every popup counts as a failure: none is expected.
struct NoPopups final : ide::PopupHandler {
    int show(const ide::Popup&) override {
        ++shown;
        return ide::answerYes;
    }
    int shown = 0;
};

void BM_DownloadPage8K(benchmark::State& state) {
    int argc = 1;
    char name[] = "download_page_bench";
    char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    std::string error;
    if (!programmer::selectBackend("sim", error)) state.SkipWithError(error.c_str());
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    download_timing::Totals totals;
    double painted = 0;
    for (auto _ : state) {
        sim::resetSimulator({}, kz71::steadyClock());
        ide::Application app({dir.path(), KZ71_BIN_DIR "/panels", KZ71_BIN_DIR});
        NoPopups popups;
        app.popups().setHandler(&popups);
        download_timing::PauseCountingClock clock;
        app.setClock(&clock);
        if (app.startUp({1024, 768, 1252}) != ide::StartResult::mainWindow)
            state.SkipWithError("no main window");
        app.build().hexFilePath = dir.filePath("full.hex");
        download_timing::writeFullImage(dir.filePath("full.hex").toStdString());
        int paints = 0;
        auto* bar = app.mainWindow()->window().findChild<QProgressBar*>("downloadProgress");
        QObject::connect(bar, &QProgressBar::valueChanged, [&] { ++paints; });
        const auto start = std::chrono::steady_clock::now();
        app.commands().run("mDownloadHexFile");
        app.commands().run("mDownloadRdVerify");
        totals.add(std::chrono::steady_clock::now() - start, clock);
        painted += paints;
        auto* status = app.mainWindow()->window().findChild<QLabel*>("statusText");
        if (popups.shown != 0 || status->text() != "SUCCESS") state.SkipWithError("not verified");
    }
    totals.report(state);
    state.counters["progress_steps"] = painted / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DownloadPage8K)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
