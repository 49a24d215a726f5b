// The messages of one assembly: the error counter, the streams the messages go to, and the
// request to end the run at once that the scanner, the symbol table and the back end hand
// up to the driver.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>

// Location of a token or of a grammar symbol.
struct SourceLocation {
    int first_line;
    int first_column;
    int last_line;
    int last_column;
};

// Conditions that end the run at once. The driver carries them out.
enum class Stop {
    none,
    scanner_fatal, // a fatal scanner condition: exit code 2
    out_of_memory, // an include frame could not be allocated: exit code 1
    abnormal,      // symbol table overflow or no memory for a reference: abnormal end
    end_run,       // the back end ended the run: exit code 0, no summary line
};

class Diagnostics {
public:
    // Messages go to `out` (standard output in tarn) and `err` (error output).
    Diagnostics(FILE* out, FILE* err) : out_(out), err_(err) {}

    // Every reported error adds 1.
    int32_t err_cnt = 0;

    FILE* out() const { return out_; }
    FILE* err() const { return err_; }

    // Prints "<file>:  Line <line>  ERROR: " (the parser's message form) when `line` is not 0.
    void print_parser_error_prefix(const char* file, int line);

    // The parser's message form: that prefix and the formatted text with a line feed; counted.
    [[gnu::format(printf, 4, 0)]] void vreport_parser_error(const char* file, int line,
                                                            const char* format, va_list arguments);

    // The back end's message form: "<file>  Line:<line>  ERROR: " and the formatted text with a
    // line feed; counted.
    [[gnu::format(printf, 4, 5)]] void report_backend_error(const char* file, int line,
                                                            const char* format, ...);

    // "ERROR: " and the formatted text with a line feed; counted.
    [[gnu::format(printf, 2, 3)]] void report_error(const char* format, ...);

    // The first condition wins: it is the one the user saw reported.
    void request_stop(Stop reason) {
        if (stop_ == Stop::none) stop_ = reason;
    }
    Stop stop_requested() const { return stop_; }
    bool stopping() const { return stop_ != Stop::none; }

private:
    // The rest of a counted message line: the formatted text and the line feed.
    void finish_counted_message(const char* format, va_list arguments);

    FILE* out_;
    FILE* err_;
    Stop stop_ = Stop::none;
};
