// Gang programming: N kz71prog processes download the full 8 KB SPI EEPROM image into N
// programmers on the emulated USB bus at the same time (N = 1 and 3). The time is the wall time
// of the whole batch, from starting the processes until the last one has ended; per_chip_s is
// that time divided by N. Each chip's memory is checked after every batch.
//
// The program restarts itself under umockdev's preload library when it was started without it,
// so `build/bench/bin/gang_bench` is all it takes.
#include "emulated_bus.h"
#include "prog_process.h"
#include "scratch_directory.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t image_size = 8192;

std::uint8_t imageByte(std::size_t chip, std::size_t address) {
    return static_cast<std::uint8_t>((address * 7 + chip * 61 + 3) & 0x7F);
}

// The chip's program as the assembler writes it: one "AAAA: BB BB" line per word.
std::string hexFile(std::size_t chip) {
    std::string text;
    char line[32];
    for (std::size_t a = 0; a < image_size; a += 2) {
        std::snprintf(line, sizeof line, "%04zX: %02X %02X\r\n", a, imageByte(chip, a),
                      imageByte(chip, a + 1));
        text += line;
    }
    return text;
}

bool holdsImage(usb_bus::EmulatedProgrammer& programmer, std::size_t chip) {
    const auto& eeprom = programmer.simulator().board().spi_eeprom.contents();
    for (std::size_t a = 0; a < image_size; ++a)
        if (eeprom[a] != imageByte(chip, a)) return false;
    return true;
}

void BM_ParallelDownloads(benchmark::State& state) {
    usb_bus::EmulatedBus& bus = usb_bus::EmulatedBus::instance();
    if (!bus.available()) {
        state.SkipWithError(bus.unavailableReason().c_str());
        return;
    }
    const auto count = static_cast<std::size_t>(state.range(0));
    ScratchDirectory dir;
    std::vector<std::unique_ptr<usb_bus::EmulatedProgrammer>> programmers;
    for (std::size_t chip = 0; chip < count; ++chip) {
        sim::SimConfig config;
        config.serial = "KZ71BENCH00" + std::to_string(chip + 1);
        programmers.push_back(
            std::make_unique<usb_bus::EmulatedProgrammer>(bus, config, kz71::steadyClock()));
        dir.write("chip" + std::to_string(chip) + ".hex", hexFile(chip));
    }
    double total_s = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::unique_ptr<usb_bus::ProgProcess>> running;
        for (std::size_t chip = 0; chip < count; ++chip)
            running.push_back(std::make_unique<usb_bus::ProgProcess>(
                KZ71PROG_PATH,
                std::vector<std::string>{"--device", programmers[chip]->resourceName(), "download",
                                         "chip" + std::to_string(chip) + ".hex"},
                dir.path().string(), "chip" + std::to_string(chip), static_cast<int>(chip)));
        bool ok = true;
        for (const auto& process : running)
            ok = process->wait().exit_code == 0 && ok;
        const double batch_s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(batch_s);
        total_s += batch_s;
        for (std::size_t chip = 0; chip < count; ++chip)
            ok = holdsImage(*programmers[chip], chip) && ok;
        if (!ok) state.SkipWithError("a download failed or a chip does not hold its program");
    }
    state.counters["per_chip_s"] =
        total_s / static_cast<double>(state.iterations()) / static_cast<double>(count);
}
BENCHMARK(BM_ParallelDownloads)
    ->Arg(1)
    ->Arg(3)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// Restarts the program with umockdev's preload library in front, unless it is there already.
void runUnderPreload(char** argv) {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload && std::strstr(preload, "libumockdev-preload")) return;
    std::string list = KZ71_UMOCKDEV_PRELOAD;
    if (preload && *preload) list += std::string(":") + preload;
    setenv("LD_PRELOAD", list.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("gang_bench: cannot restart under umockdev's preload library");
}

} // namespace

int main(int argc, char** argv) {
    runUnderPreload(argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
