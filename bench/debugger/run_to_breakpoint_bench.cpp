// Run to Breakpoint on the simulated chip with no transfer latency, in steps per second, with and
// without the register display refreshed after every step; beside it the simulator's own single
// step through the VISA layer, the cost every debugger step starts from. Goal: the debugger core
// adds under 5 microseconds per step to that cost.
#include "programmer/backend_table.h"
#include "programmer/breakpoints.h"
#include "programmer/run_control.h"
#include "programmer/session.h"
#include "programmer/silent_report.h"
#include "programmer/silent_view.h"
#include "programmer/visa.h"
#include "scratch_directory.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"
#include "tarn_process.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace programmer;

// 30001 steps from the start to the breakpoint on "nop".
const char* const program = "\tmove z, 10000\n"
                            "loop:\tdecr z\n"
                            "\tcompare z, 0\n"
                            "\tgotoNE loop\n"
                            "\tnop\n"
                            "\tstop\n";
constexpr int steps_to_breakpoint = 30001;
constexpr int breakpoint_line = 5;

// The simulated programmer without transfer latency, on a virtual clock.
sim::Simulator& freshSimulator(std::shared_ptr<kz71::VirtualClock> clock) {
    registerBackend("sim", sim::makeSimulatorBackend);
    std::string error;
    selectBackend("sim", error);
    sim::SimConfig config;
    config.transfer_time = kz71::Clock::Duration::zero();
    return sim::resetSimulator(std::move(config), std::move(clock));
}

struct DebugBench {
    explicit DebugBench(bool refreshEveryStep) {
        dir.write("prog.asm", program);
        run_tarn_binary(dir.path(), {"prog.asm"});
        sim::Simulator& simulator = freshSimulator(clock);
        DownloadImage image;
        loadHexImage(link, image, (dir.path() / "prog.hex").string());
        std::copy(image.code.begin(), image.code.end(),
                  simulator.board().spi_eeprom.contents().begin());
        debugger.hexFilePath = (dir.path() / "prog.hex").string();
        debugger.dbgFilePath = (dir.path() / "prog.dbg").string();
        debugger.settings.suppressDebugInfoRefreshing = !refreshEveryStep;
        loadDebugProgram(debugger);
        toggleBreakpointAtLine(debugger, 0, breakpoint_line);
    }
    ~DebugBench() { exitDebugMode(debugger); }

    ScratchDirectory dir;
    std::shared_ptr<kz71::VirtualClock> clock = std::make_shared<kz71::VirtualClock>();
    ProgrammerSession session;
    SilentReport report;
    ProgrammerLink link{session, report, *clock};
    SilentDebuggerView view;
    Debugger debugger{link, view};
};

void RunToBreakpoint(benchmark::State& state) {
    DebugBench bench(state.range(0) != 0);
    for (auto _ : state) {
        resetChip(bench.debugger);
        const RunOutcome outcome = runToBreakpoint(bench.debugger);
        if (outcome.reason != StopReason::breakpoint) state.SkipWithError("no breakpoint reached");
    }
    const double steps = static_cast<double>(state.iterations()) * steps_to_breakpoint;
    state.SetItemsProcessed(static_cast<std::int64_t>(steps));
    state.counters["steps_per_second"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
    // Seconds per step ("61n" is 61 ns).
    state.counters["time_per_step"] =
        benchmark::Counter(steps, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(RunToBreakpoint)->ArgName("refresh")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The baseline: one single step through the VISA layer into the simulator, nothing else.
void SingleStepThroughVisa(benchmark::State& state) {
    DebugBench bench(false);
    openProgrammerForDebug(bench.link);
    const ViSession vi = bench.session.instrument;
    ViByte reply[3];
    ViUInt16 received = 0;
    for (auto _ : state) {
        const ViStatus status =
            viUsbControlIn(vi, wire::vendor_in, wire::programmer_request, wire::single_step,
                           wire::reg_status, 3, reply, &received);
        if (status != VI_SUCCESS || received != 3) state.SkipWithError("single step failed");
        benchmark::DoNotOptimize(reply);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["steps_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(SingleStepThroughVisa);

} // namespace

BENCHMARK_MAIN();
