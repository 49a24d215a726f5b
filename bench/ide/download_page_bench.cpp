// A full 8 KB SPI EEPROM download and read & verify from the Download page, on the simulated
// programmer with the real clock and the window on Qt's offscreen platform: how much the
// painting during the operation adds to the pauses the sequences must make.
#include "app/application.h"
#include "programmer/backend_table.h"
#include "programmer/precise_clock.h"
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
#include <cstdio>
#include <fstream>

namespace {

class PauseCountingClock final : public kz71::Clock {
public:
    Duration now() const override { return inner_.now(); }
    void sleep(Duration length) override {
        const Duration start = inner_.now();
        inner_.sleep(length);
        asked += length;
        slept += inner_.now() - start;
    }
    void spend(Duration length) override { inner_.spend(length); }
    Duration asked{0};
    Duration slept{0};

private:
    programmer::PreciseSteadyClock inner_;
};

// Every popup counts as a failure: none is expected.
struct NoPopups final : ide::PopupHandler {
    int show(const ide::Popup&) override {
        ++shown;
        return ide::answerYes;
    }
    int shown = 0;
};

QString writeFullImage(const QTemporaryDir& dir) {
    const QString path = dir.filePath("full.hex");
    std::ofstream out(path.toStdString(), std::ios::binary);
    char line[32];
    for (unsigned a = 0; a < 8192; a += 2) {
        std::snprintf(line, sizeof line, "%04X: %02X %02X\r\n", a, (a * 7) & 0xFF,
                      (a * 13 + 1) & 0xFF);
        out << line;
    }
    return path;
}

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
    double total = 0, asked = 0, slept = 0, painted = 0;
    for (auto _ : state) {
        sim::resetSimulator({}, kz71::steadyClock());
        ide::Application app({dir.path(), KZ71_BIN_DIR "/panels", KZ71_BIN_DIR});
        NoPopups popups;
        app.popups().setHandler(&popups);
        PauseCountingClock clock;
        app.setClock(&clock);
        if (app.startUp({1024, 768, 1252}) != ide::StartResult::mainWindow)
            state.SkipWithError("no main window");
        app.build().hexFilePath = writeFullImage(dir);
        int paints = 0;
        auto* bar = app.mainWindow()->window().findChild<QProgressBar*>("downloadProgress");
        QObject::connect(bar, &QProgressBar::valueChanged, [&] { ++paints; });
        const auto start = std::chrono::steady_clock::now();
        app.commands().run("mDownloadHexFile");
        app.commands().run("mDownloadRdVerify");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        asked += std::chrono::duration<double>(clock.asked).count();
        slept += std::chrono::duration<double>(clock.slept).count();
        painted += paints;
        auto* status = app.mainWindow()->window().findChild<QLabel*>("statusText");
        if (popups.shown != 0 || status->text() != "SUCCESS") state.SkipWithError("not verified");
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["total_s"] = total / runs;
    state.counters["pauses_s"] = asked / runs;
    // Everything beyond the specified pauses, and the part of it that is sleeping too long.
    state.counters["beyond_pauses_pct"] = 100.0 * (total - asked) / total;
    state.counters["oversleep_pct"] = 100.0 * (slept - asked) / total;
    state.counters["progress_steps"] = painted / runs;
}
BENCHMARK(BM_DownloadPage8K)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
