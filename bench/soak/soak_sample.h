// What both long-session programs share: the program they cycle, their command line
// (--cycles N --every N --folder DIR), and the sample line they print every N cycles for
// bench/soak/run.sh: "cycle=N rss_kb=K fds=F children=C".
#pragma once

#include "test_programs.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace soak {

namespace fs = std::filesystem;

// The counting program of the debugger's tests with two user EEPROM cells before it.
inline const std::string source = "\tusrEprInit 0, 18\n\tusrEprInit 1, 52\n" + counting_program;
inline constexpr int break_line = 10; // "move r, 9"

struct Options {
    int cycles = 1000;
    int every = 50;
    fs::path folder;
};

inline long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

inline long countEntries(const fs::path& folder) {
    std::error_code error;
    long n = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        ++n;
    return n;
}

inline long childProcesses() {
    std::ifstream children("/proc/self/task/" + std::to_string(getpid()) + "/children");
    long n = 0;
    for (std::string pid; children >> pid;)
        ++n;
    return n;
}

inline void sample(int cycle) {
    std::printf("cycle=%d rss_kb=%ld fds=%ld children=%ld\n", cycle, residentKilobytes(),
                countEntries("/proc/self/fd"), childProcesses());
    std::fflush(stdout);
}

inline bool parse(int argc, char** argv, Options& options) {
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

// Reads the command line, makes the folder the working directory and writes prog.asm there;
// false (after the usage line) on a bad command line.
inline bool startSession(int argc, char** argv, const char* program, Options& options) {
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--cycles N] [--every N] [--folder DIR]\n", program);
        return false;
    }
    if (options.folder.empty())
        options.folder = fs::temp_directory_path() / (std::string("kz71-") + program);
    fs::create_directories(options.folder);
    fs::current_path(options.folder);
    std::ofstream("prog.asm") << source;
    return true;
}

// The closing line; the exit status.
inline int finish(const Options& options, int failed) {
    std::printf("cycles=%d failed=%d\n", options.cycles, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace soak
