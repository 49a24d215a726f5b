#include "assembler/diagnostics.h"

int32_t err_cnt = 0;

namespace {
FILE* out_stream = nullptr;
FILE* err_stream = nullptr;
Stop stop_reason = Stop::none;
} // namespace

FILE* diag_out() {
    return out_stream != nullptr ? out_stream : stdout;
}

FILE* diag_err() {
    return err_stream != nullptr ? err_stream : stderr;
}

void set_diagnostic_streams(FILE* out, FILE* err) {
    out_stream = out;
    err_stream = err;
}

void print_parser_error_prefix(const char* file, int line) {
    if (line != 0) std::fprintf(diag_out(), "%s:  Line %d  ERROR: ", file, line);
}

void request_stop(Stop reason) {
    // The first condition wins: it is the one the user saw reported.
    if (stop_reason == Stop::none) stop_reason = reason;
}

Stop stop_requested() {
    return stop_reason;
}

void reset_diagnostics() {
    err_cnt = 0;
    stop_reason = Stop::none;
}
