// Runs a program of the kit as a child process, the way a user's shell or a build script
// would, but without any shell: the arguments go to it as they are.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct ChildResult {
    std::string out;    // standard output
    std::string err;    // error output
    int exit_code = -1; // -1 when ended by a signal
    int signal = 0;     // the signal that ended it, or 0
    bool hung = false;  // it was still running at the time limit and was killed
};

// Runs `program` in `directory` with standard input from /dev/null. The environment is this
// process's, without the variables named in `removed`, plus `added` (which replaces what it
// names). The outputs are held in memory, so nothing appears in or beside the directory. A
// program still running after `time_limit` is killed (`hung`).
ChildResult run_child(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& directory,
                      const std::map<std::string, std::string>& added = {},
                      const std::vector<std::string>& removed = {},
                      std::chrono::seconds time_limit = std::chrono::seconds(300));
