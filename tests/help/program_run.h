// Runs a program of the kit in a folder and collects what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ProgramRun {
    std::string out;    // standard output
    std::string err;    // error output
    int exit_code = -1; // -1 when the program did not end normally
};

ProgramRun run_program(const std::filesystem::path& program,
                       const std::filesystem::path& working_directory,
                       const std::vector<std::string>& arguments);

// The text of a file, with the line ends as they are; "" when it cannot be read.
std::string file_text(const std::filesystem::path& path);
