// The assembler's error counter, the streams its messages go to, and the request to end
// the run at once that the scanner, the symbol table and the back end hand up to the driver.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>

// Every reported error adds 1.
extern int32_t err_cnt;

// Standard output and error output by default; tests may redirect them.
FILE* diag_out();
FILE* diag_err();
void set_diagnostic_streams(FILE* out, FILE* err);

// Location of a token or of a grammar symbol.
struct SourceLocation {
    int first_line;
    int first_column;
    int last_line;
    int last_column;
};

// Prints "<file>:  Line <line>  ERROR: " (the parser's message form) when `line` is not 0.
void print_parser_error_prefix(const char* file, int line);

// The parser's message form: prints that prefix and the formatted text with a line feed,
// and counts the error.
[[gnu::format(printf, 3, 0)]] void vreport_parser_error(const char* file, int line,
                                                        const char* format, va_list arguments);

// The back end's message form: prints "<file>  Line:<line>  ERROR: " and the formatted text
// with a line feed, and counts the error.
[[gnu::format(printf, 3, 4)]] void report_backend_error(const char* file, int line,
                                                        const char* format, ...);

// Prints "ERROR: " and the formatted text with a line feed, and counts the error.
[[gnu::format(printf, 1, 2)]] void report_error(const char* format, ...);

// Conditions that end the run at once. The driver carries them out.
enum class Stop {
    none,
    scanner_fatal, // a fatal scanner condition: exit code 2
    out_of_memory, // an include frame could not be allocated: exit code 1
    abnormal,      // symbol table overflow or no memory for a reference: abnormal end
    end_run,       // the back end ended the run: exit code 0, no summary line
};

void request_stop(Stop reason);
Stop stop_requested();
inline bool stopping() {
    return stop_requested() != Stop::none;
}

// Error counter 0 and no stop requested; the streams stay as set.
void reset_diagnostics();
