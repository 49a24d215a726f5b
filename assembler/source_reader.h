// The scanner of one parse (yylex) and the state it keeps: the include stack, the defined
// names, the current file name and the last constant name. The rules are in scanner.l.
#pragma once

#include "assembler/diagnostics.h"
#include "assembler/source_file.h"

#include <string>
#include <vector>

class Assembly;
union YYSTYPE;
struct yy_buffer_state;

// Names defined with #define: at most this many, each at most this long; more, or longer, is
// a counted error.
inline constexpr std::size_t max_definitions = 254;
inline constexpr std::size_t max_definition_length = 254;

// Longest path the assembler opens; a longer include path is a counted error.
inline constexpr std::size_t max_path_length = 199;

class Scanner {
public:
    // Scans `text`, the main file at `path`, for `assembly`: the bottom frame of the include
    // stack. Includes may add up to max_source_size bytes together with the main file.
    Scanner(Assembly& assembly, const char* path, SourceText text);
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    // The next token's code with its value and location; 0 at the end of the input.
    int next_token(YYSTYPE& value, SourceLocation& location);

    Assembly& assembly;
    // Name of the file being scanned; every record made by the parser stores this pointer.
    const char* curfilename = nullptr;
    // Name of the last identifier returned as CINT (read by the duplicate-constant rule).
    const char* inst_const = nullptr;
    // Names defined with #define, in definition order.
    std::vector<std::string> definitions;

    // Reads `path` and makes it the current input; false after reporting and counting.
    bool newfile(const std::string& path);
    // Ends the current included file and resumes its includer; false for the main file.
    bool popfile();

    // What the rules call (scanner.l).
    int scan_name(const char* text, std::size_t length, YYSTYPE& value);
    int32_t fraction_value(const char* text);
    void define_name(const char* name);
    bool is_defined(const char* name) const;
    int include_file(const std::string& path);
    int end_of_file();
    int scanner_jammed();
    void bad_character(const char* text);
    void bad_include_line();

private:
    // One source file being read: the main file at the bottom, each include above its
    // includer. Each input buffer keeps its own line counter, so an includer's counter
    // resumes where it stopped.
    struct IncludeFrame {
        yy_buffer_state* buffer;
        SourceText text;      // the buffer scans this text in place
        const char* filename; // kept text; records point to it
    };

    bool make_frame(SourceText text, const std::string& path);
    bool already_open(const std::string& path, const SourceText& text) const;
    void report_scanner_error(const char* text);
    int end_of_input();
    int line() const;

    void* scanner_ = nullptr; // the flex scanner of this parse
    std::vector<IncludeFrame> include_stack_;
    std::size_t bytes_left_; // of max_source_size, for further includes
    bool input_ended_ = false;
};
