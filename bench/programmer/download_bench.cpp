// A full 8 KB SPI EEPROM download and read & verify on the simulated programmer with the real
// steady clock: how much of the time is not the pauses the sequences must make.
#include "programmer/backend_table.h"
#include "programmer/download_image.h"
#include "programmer/precise_clock.h"
#include "programmer/silent_report.h"
#include "programmer/spi_eeprom_download.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using programmer::LampState;

// The clock kz71prog pauses on, counting what the host asked to wait and how long the waits really
// took.
class PauseCountingClock final : public kz71::Clock {
public:
    Duration now() const override { return inner_->now(); }
    void sleep(Duration length) override {
        const Duration start = inner_->now();
        inner_->sleep(length);
        asked += length;
        slept += inner_->now() - start;
    }
    void spend(Duration length) override { inner_->spend(length); }

    Duration asked{0};
    Duration slept{0};

private:
    std::shared_ptr<kz71::Clock> inner_ = std::make_shared<programmer::PreciseSteadyClock>();
};

// Tells only whether the download failed.
struct QuietReport final : programmer::SilentReport {
    void setLamp(LampState state) override { failed = failed || state == LampState::failed; }
    void showErrorPopup(std::string_view, int) override { failed = true; }
    bool failed = false;
};

std::string writeFullImage() {
    const auto path = std::filesystem::temp_directory_path() / "kz71_download_bench.hex";
    std::ofstream out(path, std::ios::binary);
    char line[32];
    for (unsigned a = 0; a < 8192; a += 2) {
        std::snprintf(line, sizeof line, "%04X: %02X %02X\r\n", a, (a * 7) & 0xFF,
                      (a * 13 + 1) & 0xFF);
        out << line;
    }
    return path.string();
}

void BM_SpiEepromDownloadAndVerify8K(benchmark::State& state) {
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    setenv("KZ71_PROGRAMMER", "sim", 1);
    const std::string hexFile = writeFullImage();
    double total = 0, asked = 0, slept = 0;
    for (auto _ : state) {
        sim::resetSimulator({}, kz71::steadyClock());
        PauseCountingClock clock;
        QuietReport report;
        programmer::ProgrammerSession session;
        programmer::ProgrammerLink link{session, report, clock};
        programmer::DownloadImage image;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = programmer::downloadSpiEeprom(link, image, hexFile) &&
                        programmer::verifySpiEeprom(link, image);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        asked += std::chrono::duration<double>(clock.asked).count();
        slept += std::chrono::duration<double>(clock.slept).count();
        if (!ok || report.failed || image.lastIndex != 8191) state.SkipWithError("not verified");
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["total_s"] = total / runs;
    state.counters["pauses_s"] = asked / runs;
    // Everything beyond the specified pauses, and the part of it that is sleeping too long.
    state.counters["beyond_pauses_pct"] = 100.0 * (total - asked) / total;
    state.counters["oversleep_pct"] = 100.0 * (slept - asked) / total;
    std::filesystem::remove(hexFile);
}
BENCHMARK(BM_SpiEepromDownloadAndVerify8K)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
