// A full 8 KB SPI EEPROM download and read & verify on the simulated programmer with the real
// steady clock: how much of the time is not the pauses the sequences must make.
#include "download_timing.h"
#include "programmer/backend_table.h"
#include "programmer/download_image.h"
#include "programmer/spi_eeprom_download.h"
#include "quiet_debugger.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

using download_timing::PauseCountingClock;

void BM_SpiEepromDownloadAndVerify8K(benchmark::State& state) {
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    setenv("KZ71_PROGRAMMER", "sim", 1);
    const auto hexFile = std::filesystem::temp_directory_path() / "kz71_download_bench.hex";
    download_timing::writeFullImage(hexFile);
    download_timing::Totals totals;
    for (auto _ : state) {
        sim::resetSimulator({}, kz71::steadyClock());
        PauseCountingClock clock;
        QuietReport report;
        programmer::ProgrammerSession session;
        programmer::ProgrammerLink link{session, report, clock};
        programmer::DownloadImage image;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = programmer::downloadSpiEeprom(link, image, hexFile.string()) &&
                        programmer::verifySpiEeprom(link, image);
        totals.add(std::chrono::steady_clock::now() - start, clock);
        if (!ok || report.failed || image.lastIndex != 8191) state.SkipWithError("not verified");
    }
    totals.report(state);
    std::filesystem::remove(hexFile);
}
BENCHMARK(BM_SpiEepromDownloadAndVerify8K)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
