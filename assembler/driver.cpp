#include "assembler/driver.h"

#include "assembler/assembly.h"
#include "assembler/help_text.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

std::string working_directory() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::current_path(error);
    return error ? std::string() : path.string();
}

// The exit code of a stop requested during the run, if any.
std::optional<int> stop_exit_code(const Diagnostics& diag) {
    switch (diag.stop_requested()) {
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

// Reads and parses the source named by parseFile; an exit code when the run must end.
std::optional<int> parse_phase(Assembly& assembly) {
    Diagnostics& diag = assembly.diag;
    const std::string& path = assembly.source.parseFile;
    int error = 0;
    std::optional<SourceText> text = read_source(path, max_source_size, error);
    if (!text && error == ENOMEM) {
        std::fputs("out of dynamic memory in yy_create_buffer()\n", diag.err());
        return 2;
    }
    if (!text) {
        std::fprintf(diag.out(), "Error: Could not open file '%s'\n", path.c_str());
        return 1;
    }
    const int result = assembly.parse_source(path, std::move(*text));
    if (auto code = stop_exit_code(diag)) return code;
    if (result != 0 || diag.err_cnt > 0) {
        std::fputs("Info: Could not parse file\n", diag.out());
        return 1;
    }
    return std::nullopt;
}

// Runs one back-end phase. True when this source goes no further: the phase reported
// errors, or it ended the run (then `exit_code` holds the run's exit code).
bool phase_failed(Assembly& assembly, void (Assembly::*phase)(), std::optional<int>& exit_code) {
    (assembly.*phase)();
    exit_code = stop_exit_code(assembly.diag);
    return exit_code.has_value() || assembly.diag.err_cnt != 0;
}

// Processes one source argument; an exit code when the run must end.
std::optional<int> process_source(Assembly& assembly, std::string_view argument) {
    assembly.source = SourcePaths::of_argument(argument);
    if (argument.size() > max_source_path_length) {
        std::fprintf(assembly.diag.out(),
                     "Error: Could not open file '%s': path longer than %zu characters\n",
                     assembly.source.parseFile.c_str(), max_source_path_length);
        return 1;
    }
    assembly.source.exePath = working_directory();
    if (auto code = parse_phase(assembly)) return code;
    std::optional<int> exit_code;
    if (phase_failed(assembly, &Assembly::check_opcode, exit_code) ||
        phase_failed(assembly, &Assembly::check_jump, exit_code))
        return exit_code;
    assembly.write_hexfile();
    if (auto code = stop_exit_code(assembly.diag)) return code;
    assembly.write_dbgfile();
    return stop_exit_code(assembly.diag);
}

void print_summary(FILE* out, const SourcePaths& source, int32_t errors) {
    const std::string path = source.beside_source(source.inpFileName);
    if (errors == 0)
        std::fprintf(out, "INFO: %s: Processing was successful\n", path.c_str());
    else
        std::fprintf(out, "INFO: %s: Processing failed, with %d error(s)\n", path.c_str(), errors);
}

} // namespace

int run_tarn(std::span<char* const> arguments, FILE* out, FILE* err) {
    if (arguments.empty()) {
        std::fputs("USAGE: tarn.exe <file>\n", out);
        return 0;
    }
    int32_t run_errors = 0;
    SourcePaths last;
    for (const char* argument : arguments) {
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "/?") == 0) {
            Diagnostics diag(out, err);
            showHelp(diag);
            return 0;
        }
        if (std::strcmp(argument, "-v") == 0) {
            Diagnostics diag(out, err);
            showVersion(diag);
            return 0;
        }
        try {
            Assembly assembly(out, err);
            if (auto code = process_source(assembly, argument)) return *code;
            run_errors += assembly.diag.err_cnt;
            last = std::move(assembly.source);
        } catch (const std::bad_alloc&) {
            std::fputs("out of space\n", err);
            return abnormal_end;
        }
    }
    print_summary(out, last, run_errors);
    return 0;
}
