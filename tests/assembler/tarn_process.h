// Runs the real tarn binary in a scratch directory and collects what it printed.
#pragma once

#include "child_process.h"
#include "scratch_directory.h"

#include <filesystem>
#include <string>
#include <vector>

using TarnResult = ChildResult;

// Runs tarn; one that runs longer than `time_limit_seconds` is killed (`hung`).
TarnResult run_tarn_binary(const std::filesystem::path& working_directory,
                           const std::vector<std::string>& arguments, int time_limit_seconds = 60);
