// Run to Breakpoint on the simulated chip with no transfer latency, in steps per second, with and
// without the register display refreshed after every step. The cost every debugger step starts
// from, one single step through the VISA layer into the simulator, is single_step_bench's
// (bench/simulator). Goal: the debugger core adds under 5 microseconds per step to that cost.
#include "breakpoint_program.h"
#include "programmer/backend_table.h"
#include "programmer/breakpoints.h"
#include "programmer/run_control.h"
#include "programmer/session.h"
#include "quiet_debugger.h"
#include "scratch_directory.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"
#include "tarn_process.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace programmer;

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
        dir.write("prog.asm", breakpoint_program);
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
    QuietReport report;
    ProgrammerLink link{session, report, *clock};
    QuietView view;
    Debugger debugger{link, view};
};

void RunToBreakpoint(benchmark::State& state) {
    DebugBench bench(state.range(0) != 0);
    for (auto _ : state) {
        resetChip(bench.debugger);
        const RunOutcome outcome = runToBreakpoint(bench.debugger);
        if (outcome.reason != StopReason::breakpoint) state.SkipWithError("no breakpoint reached");
    }
    reportSteps(state);
}
BENCHMARK(RunToBreakpoint)->ArgName("refresh")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
