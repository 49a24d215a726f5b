// One long session in one process: every cycle assembles a program with tarn (in-process, its
// files written to disk), downloads it with its user EEPROM cells, verifies it, and debugs it
// (a breakpoint, a run to it, single steps, the RAM window, Exit Debug Mode) on the simulated
// programmer, on a virtual clock so that its pauses cost no time. Every few cycles it prints a
// sample of what the process holds:
//   cycle=100 rss_kb=5120 fds=4 children=0
// and at the end whether every cycle succeeded. bench/soak/run.sh reads the samples.
//
//   soak_session [--cycles N] [--every N] [--folder DIR]
#include "assembler/driver.h"
#include "programmer/backend_table.h"
#include "programmer/breakpoints.h"
#include "programmer/debugger.h"
#include "programmer/download_commands.h"
#include "programmer/ram_view.h"
#include "programmer/run_control.h"
#include "programmer/session.h"
#include "programmer/silent_report.h"
#include "programmer/silent_view.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"
#include "soak_sample.h"
#include "test_programs.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace programmer;

// Assembles prog.asm; true when tarn's closing line says it succeeded.
bool assemble() {
    std::string argument = "prog.asm";
    char* const arguments[] = {argument.data()};
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* messages = open_memstream(&text, &size);
    if (messages == nullptr) return false;
    const bool ran = run_tarn(arguments, messages, messages) == 0;
    std::fclose(messages);
    const bool succeeded = ran && std::string_view(text, size).find("Processing was successful") !=
                                      std::string_view::npos;
    std::free(text);
    return succeeded;
}

bool debugSession(ProgrammerLink& link) {
    SilentDebuggerView view;
    Debugger debugger(link, view);
    debugger.hexFilePath = "prog.hex";
    debugger.dbgFilePath = "prog.dbg";
    debugger.settings.suppressDebugInfoRefreshing = true;
    debugger.settings.suppressEofPopup = true; // the steps reach the end of the program
    loadDebugProgram(debugger);
    bool ok = toggleBreakpointAtLine(debugger, 0, soak::break_line) == BreakpointToggle::set;
    ok = runToBreakpoint(debugger).reason == StopReason::breakpoint && ok;
    ok = singleStep(debugger, 3).reason != StopReason::failed && ok;
    ok = ramWindowMayOpen(debugger) && ok;
    ramWindowOpened(debugger);
    exitDebugMode(debugger);
    return ok && !debugger.state.debugModeActive;
}

// One cycle on a fresh session; false when any part of it failed.
bool cycle(kz71::Clock& clock) {
    if (!assemble()) return false;
    ProgrammerSession session;
    SilentReport report;
    ProgrammerLink link{session, report, clock};
    DownloadImage image;
    bool ok =
        downloadHexFile(link, image, {TargetMemory::spiEeprom, false, "prog.hex", "prog.epr"});
    ok = readAndVerify(link, image, TargetMemory::spiEeprom) && ok;
    ok = debugSession(link) && ok;
    return ok && report.popups == 0 && session.resourceManager == VI_NULL;
}

} // namespace

int main(int argc, char** argv) {
    soak::Options options;
    if (!soak::startSession(argc, argv, "soak_session", options)) return 2;

    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    std::string error;
    programmer::selectBackend("sim", error);
    const auto clock = std::make_shared<kz71::VirtualClock>();
    // The simulator's transfer log is a ring of a fixed number of entries (65536 by default),
    // which a session fills once and never outgrows; a small one is full after the first
    // cycles, so that what grows after them is what the sequences keep.
    sim::SimConfig config;
    config.log_capacity = 1024;
    sim::resetSimulator(config, clock);

    int failed = 0;
    soak::sample(0);
    for (int c = 1; c <= options.cycles; ++c) {
        if (!cycle(*clock)) ++failed;
        if (c % options.every == 0) soak::sample(c);
    }
    return soak::finish(options, failed);
}
