// What the 8 KB download benchmarks share: the image, a clock that counts the pauses the host
// asked for and how long they really took, and the counters that split the time.
#pragma once

#include "programmer/precise_clock.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace download_timing {

// The precise steady clock the product pauses on, counting the pauses.
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

// A .hex file of all 8192 bytes, none of them blank.
inline void writeFullImage(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    char line[32];
    for (unsigned a = 0; a < 8192; a += 2) {
        std::snprintf(line, sizeof line, "%04X: %02X %02X\r\n", a, (a * 7) & 0xFF,
                      (a * 13 + 1) & 0xFF);
        out << line;
    }
}

// Seconds summed over the runs: the whole operation, the pauses asked for, the pauses taken.
struct Totals {
    double total = 0, asked = 0, slept = 0;

    void add(std::chrono::steady_clock::duration took, const PauseCountingClock& clock) {
        total += std::chrono::duration<double>(took).count();
        asked += std::chrono::duration<double>(clock.asked).count();
        slept += std::chrono::duration<double>(clock.slept).count();
    }
    // Per run: the time, the pauses, everything beyond the pauses and the part of it that is
    // sleeping too long.
    void report(benchmark::State& state) const {
        const auto runs = static_cast<double>(state.iterations());
        state.counters["total_s"] = total / runs;
        state.counters["pauses_s"] = asked / runs;
        state.counters["beyond_pauses_pct"] = 100.0 * (total - asked) / total;
        state.counters["oversleep_pct"] = 100.0 * (slept - asked) / total;
    }
};

} // namespace download_timing
