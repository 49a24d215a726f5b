#include "assembler/diagnostics.h"

#include <cstdarg>

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

namespace {

// The rest of a counted message line: the formatted text and the line feed.
void finish_counted_message(const char* format, va_list arguments) {
    std::vfprintf(diag_out(), format, arguments);
    std::fputc('\n', diag_out());
    ++err_cnt;
}

} // namespace

void vreport_parser_error(const char* file, int line, const char* format, va_list arguments) {
    print_parser_error_prefix(file, line);
    finish_counted_message(format, arguments);
}

void report_backend_error(const char* file, int line, const char* format, ...) {
    std::fprintf(diag_out(), "%s  Line:%d  ERROR: ", file != nullptr ? file : "", line);
    va_list arguments;
    va_start(arguments, format);
    finish_counted_message(format, arguments);
    va_end(arguments);
}

void report_error(const char* format, ...) {
    std::fputs("ERROR: ", diag_out());
    va_list arguments;
    va_start(arguments, format);
    finish_counted_message(format, arguments);
    va_end(arguments);
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
