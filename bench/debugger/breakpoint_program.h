// The program the Run to Breakpoint benchmarks run: 30001 steps from the start to the breakpoint
// on "nop" (line 5), and the counters they report.
#pragma once

#include <benchmark/benchmark.h>
#include <cstdint>

inline const char* const breakpoint_program = "\tmove z, 10000\n"
                                              "loop:\tdecr z\n"
                                              "\tcompare z, 0\n"
                                              "\tgotoNE loop\n"
                                              "\tnop\n"
                                              "\tstop\n";
inline constexpr int steps_to_breakpoint = 30001;
inline constexpr int breakpoint_line = 5;

// Steps per second and seconds per step ("61n" is 61 ns) over every run of the benchmark.
inline void reportSteps(benchmark::State& state) {
    const double steps = static_cast<double>(state.iterations()) * steps_to_breakpoint;
    state.SetItemsProcessed(static_cast<std::int64_t>(steps));
    state.counters["steps_per_second"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
    state.counters["time_per_step"] =
        benchmark::Counter(steps, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
