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

// The counting program of the debugger's tests with two user EEPROM cells before it.
const std::string source = "\tusrEprInit 0, 18\n\tusrEprInit 1, 52\n" + counting_program;
constexpr int break_line = 10; // "move r, 9"

struct Options {
    int cycles = 1000;
    int every = 50;
    fs::path folder;
};

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

long countEntries(const fs::path& folder) {
    std::error_code error;
    long n = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        ++n;
    return n;
}

long childProcesses() {
    std::ifstream children("/proc/self/task/" + std::to_string(getpid()) + "/children");
    long n = 0;
    for (std::string pid; children >> pid;)
        ++n;
    return n;
}

void sample(int cycle) {
    std::printf("cycle=%d rss_kb=%ld fds=%ld children=%ld\n", cycle, residentKilobytes(),
                countEntries("/proc/self/fd"), childProcesses());
    std::fflush(stdout);
}

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
    bool ok = toggleBreakpointAtLine(debugger, 0, break_line) == BreakpointToggle::set;
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

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--cycles")
            options.cycles = std::atoi(argv[i + 1]);
        else if (option == "--every")
            options.every = std::atoi(argv[i + 1]);
        else if (option == "--folder")
            options.folder = argv[i + 1];
        else
            return false;
    }
    return argc % 2 == 1 && options.cycles > 0 && options.every > 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: soak_session [--cycles N] [--every N] [--folder DIR]\n");
        return 2;
    }
    if (options.folder.empty()) options.folder = fs::temp_directory_path() / "kz71-soak-session";
    fs::create_directories(options.folder);
    fs::current_path(options.folder);
    std::ofstream("prog.asm") << source;

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
    sample(0);
    for (int c = 1; c <= options.cycles; ++c) {
        if (!cycle(*clock)) ++failed;
        if (c % options.every == 0) sample(c);
    }
    std::printf("cycles=%d failed=%d\n", options.cycles, failed);
    return failed == 0 ? 0 : 1;
}
