// A golden case: source files, a command line, and what tarn must print, return and leave
// behind. One text file per case, in sections:
//
//   === args                 one argument per line (default: main.asm)
//   === file <name> [crlf] [noeol]   an input file, written before the run
//   === stdout               expected standard output (required)
//   === stderr               expected error output (default: empty)
//   === exit                 expected exit code (default: 0)
//   === expect <name> [crlf] a file that must exist afterwards with this content
//   === absent <name>        a file that must not exist afterwards
//
// Lines before the first section are comments. In expected texts "{{cwd}}" stands for the
// directory tarn runs in, and "{{any}}" matches any text within one line. "crlf" ends every
// line with CR LF; "noeol" drops the last line end.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct GoldenFile {
    std::string name;
    std::string content;
};

struct GoldenCase {
    std::string name;
    std::vector<std::string> args{"main.asm"};
    std::vector<GoldenFile> inputs;
    std::optional<std::string> out;
    std::string err;
    int exit_code = 0;
    std::vector<GoldenFile> expected_files;
    std::vector<std::string> absent_files;
};

// Parses a case file; an error text instead when it is malformed.
std::optional<GoldenCase> parse_golden_case(const std::filesystem::path& file, std::string& error);

// Whether `actual` matches `expected`, with {{cwd}} replaced and {{any}} as a wildcard.
bool golden_text_matches(const std::string& expected, const std::string& actual,
                         const std::string& cwd);
