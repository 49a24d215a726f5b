// Runs the real tarn binary in a scratch directory and collects what it printed.
#pragma once

#include "scratch_directory.h"

#include <filesystem>
#include <string>
#include <vector>

struct TarnResult {
    std::string out;        // standard output
    std::string err;        // error output
    int exit_code = -1;     // -1 when ended by a signal
    int signal = 0;         // the signal that ended it, or 0
    bool timed_out = false; // it ran longer than it may and was killed
};

// Runs tarn; one that runs longer than `time_limit_seconds` is killed (signal SIGKILL).
TarnResult run_tarn_binary(const std::filesystem::path& working_directory,
                           const std::vector<std::string>& arguments, int time_limit_seconds = 60);
