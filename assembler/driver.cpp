#include "assembler/driver.h"

#include "assembler/backend.h"
#include "assembler/diagnostics.h"
#include "assembler/front_end.h"
#include "assembler/help_text.h"
#include "assembler/include_paths.h"
#include "assembler/source_reader.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

std::string inpFilePath;
std::string inpFileName;
bool inpHasDirectory = false;
std::string parseFile;

namespace {

using FilePointer = std::unique_ptr<FILE, decltype(&std::fclose)>;

void reset_run() {
    reset_front_end();
    reset_backend();
}

void split_source_argument(std::string_view argument) {
    std::size_t last = argument.rfind(sep_char);
    inpHasDirectory = last != std::string_view::npos;
    inpFilePath = inpHasDirectory ? argument.substr(0, last) : argument;
    inpFileName = inpHasDirectory ? argument.substr(last + 1) : argument;
}

std::string working_directory() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::current_path(error);
    return error ? std::string() : path.string();
}

// The exit code of a stop requested during the run, if any.
std::optional<int> stop_exit_code() {
    switch (stop_requested()) {
    case Stop::none:
        return std::nullopt;
    case Stop::scanner_fatal:
        return 2;
    case Stop::out_of_memory:
        return 1;
    case Stop::abnormal:
        return abnormal_end;
    case Stop::end_run:
        return 0;
    }
    return std::nullopt;
}

// Parses the source named by parseFile; an exit code when the run must end.
std::optional<int> parse_phase() {
    FilePointer input(open_source(parseFile), &std::fclose);
    if (!input) {
        std::fprintf(diag_out(), "Error: Could not open file '%s'\n", parseFile.c_str());
        return 1;
    }
    int result = parse_source(parseFile.c_str(), input.get());
    if (auto code = stop_exit_code()) return code;
    if (result != 0 || err_cnt > 0) {
        std::fputs("Info: Could not parse file\n", diag_out());
        return 1;
    }
    return std::nullopt;
}

// Runs one back-end phase. True when this source goes no further: the phase reported
// errors, or it ended the run (then `exit_code` holds the run's exit code).
bool phase_failed(void (*phase)(), std::optional<int>& exit_code) {
    phase();
    exit_code = stop_exit_code();
    return exit_code.has_value() || err_cnt != 0;
}

// Processes one source argument; an exit code when the run must end.
std::optional<int> process_source(std::string_view argument) {
    split_source_argument(argument);
    parseFile = path_beside_source(inpFileName);
    if (argument.size() > max_source_path_length) {
        std::fprintf(diag_out(),
                     "Error: Could not open file '%s': path longer than %zu characters\n",
                     parseFile.c_str(), max_source_path_length);
        return 1;
    }
    exePath = working_directory();
    err_cnt = 0;
    if (auto code = parse_phase()) return code;
    std::optional<int> exit_code;
    if (phase_failed(check_opcode, exit_code) || phase_failed(check_jump, exit_code))
        return exit_code;
    write_hexfile();
    if (auto code = stop_exit_code()) return code;
    write_dbgfile();
    return stop_exit_code();
}

void print_summary(int32_t errors) {
    parseFile = path_beside_source(inpFileName);
    if (errors == 0)
        std::fprintf(diag_out(), "INFO: %s: Processing was successful\n", parseFile.c_str());
    else
        std::fprintf(diag_out(), "INFO: %s: Processing failed, with %d error(s)\n",
                     parseFile.c_str(), errors);
}

} // namespace

std::string path_beside_source(const std::string& name) {
    return inpHasDirectory ? inpFilePath + sep_char + name : name;
}

int run_tarn(std::span<char* const> arguments) {
    reset_run();
    if (arguments.empty()) {
        std::fputs("USAGE: tarn.exe <file>\n", diag_out());
        return 0;
    }
    int32_t run_errors = 0;
    bool first_source = true;
    for (const char* argument : arguments) {
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "/?") == 0) {
            showHelp();
            return 0;
        }
        if (std::strcmp(argument, "-v") == 0) {
            showVersion();
            return 0;
        }
        // Each source is assembled on its own: nothing of an earlier one leaks into it.
        if (!first_source) reset_run();
        first_source = false;
        if (auto code = process_source(argument)) return *code;
        run_errors += err_cnt;
    }
    print_summary(run_errors);
    return 0;
}
