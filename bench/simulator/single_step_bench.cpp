// Single steps per second through the VISA-shaped API into the simulator: the path every
// debugger run takes (one control transfer per instruction). Goal: at least one million.
#include "programmer/backend_table.h"
#include "programmer/visa.h"
#include "protocol/command_codes.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>

namespace {

// incr x; add y, 5; compare y, z; gotoNE back to the start
constexpr std::uint8_t loop_program[] = {0xF8, 0x25, 0x00, 0x00, 0x05, 0x16, 0x58, 0xF9};

struct DebugSession {
    DebugSession() {
        programmer::registerBackend("sim", sim::makeSimulatorBackend);
        std::string error;
        programmer::selectBackend("sim", error);
        sim::Simulator& simulator = sim::resetSimulator({}, std::make_shared<kz71::VirtualClock>());
        std::copy(std::begin(loop_program), std::end(loop_program),
                  simulator.board().spi_eeprom.contents().begin());
        viOpenDefaultRM(&rm);
        ViChar name[VI_FIND_BUFLEN];
        ViUInt32 count = 0;
        viFindRsrc(rm, "USB?*{VI_ATTR_MANF_ID == 0x194E}", nullptr, &count, name);
        viOpen(rm, name, VI_NO_LOCK, 1000, &vi);
        command(wire::power_reset);
        command(wire::enter_debug_mode);
    }
    ~DebugSession() { viClose(rm); }

    void command(ViUInt16 code) {
        viUsbControlOut(vi, wire::vendor_out, wire::programmer_request, code, 0, 0, nullptr);
    }

    ViSession rm = VI_NULL;
    ViSession vi = VI_NULL;
};

void SingleStepThroughVisa(benchmark::State& state) {
    DebugSession session;
    ViByte reply[3];
    ViUInt16 received = 0;
    for (auto _ : state) {
        const ViStatus status =
            viUsbControlIn(session.vi, wire::vendor_in, wire::programmer_request, wire::single_step,
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
