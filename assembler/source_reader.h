// The scanner's process-wide state and its interface to the driver and the grammar.
// yylex() itself is declared in the generated grammar header.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Name of the file being scanned; every record made by the parser stores this pointer.
extern const char* curfilename;

// Name of the last identifier returned as CINT (read by the grammar's duplicate-constant rule).
extern const char* inst_const;

// Names defined with #define, in definition order. At most max_definitions names, each
// shorter than max_definition_length + 1 characters; more, or longer, is a counted error.
extern std::vector<std::string> definitions;
inline constexpr std::size_t max_definitions = 254;
inline constexpr std::size_t max_definition_length = 254;

// Longest path the assembler opens; a longer include path is a counted error.
inline constexpr std::size_t max_path_length = 199;

// Working directory at the start of the source; base of the lib directory of <...> includes.
extern std::string exePath;

// Opens a regular file for reading; null (errno set) when it cannot be opened or is a
// directory.
FILE* open_source(const std::string& path);

// Makes the bottom frame of the include stack for the main file, already opened by the
// driver as `input` (which the driver also closes).
void scanner_start(const char* path, FILE* input);

// Opens `path` and makes it the current input; false after reporting and counting.
bool newfile(const std::string& path);

// Ends the current included file and resumes its includer; false for the main file.
bool popfile();

// Closes every included file, drops the include stack, the defined names and the scanner
// state, and sets the line and column counters back to 1.
void reset_scanner();
