#include "assembler/diagnostics.h"

void Diagnostics::print_parser_error_prefix(const char* file, int line) {
    if (line != 0) std::fprintf(out_, "%s:  Line %d  ERROR: ", file, line);
}

void Diagnostics::finish_counted_message(const char* format, va_list arguments) {
    std::vfprintf(out_, format, arguments);
    std::fputc('\n', out_);
    ++err_cnt;
}

void Diagnostics::vreport_parser_error(const char* file, int line, const char* format,
                                       va_list arguments) {
    print_parser_error_prefix(file, line);
    finish_counted_message(format, arguments);
}

void Diagnostics::report_backend_error(const char* file, int line, const char* format, ...) {
    std::fprintf(out_, "%s  Line:%d  ERROR: ", file != nullptr ? file : "", line);
    va_list arguments;
    va_start(arguments, format);
    finish_counted_message(format, arguments);
    va_end(arguments);
}

void Diagnostics::report_error(const char* format, ...) {
    std::fputs("ERROR: ", out_);
    va_list arguments;
    va_start(arguments, format);
    finish_counted_message(format, arguments);
    va_end(arguments);
}
