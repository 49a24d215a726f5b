// tarn's driver: the command line, the phases of one source, and the closing line.
#pragma once

#include <span>
#include <string>

// The source being processed, split at its last separator.
extern std::string inpFilePath; // directory part, or the whole argument when it has none
extern std::string inpFileName; // file-name part (equal to inpFilePath when no directory)
extern bool inpHasDirectory;    // whether the argument had a directory part
extern std::string parseFile;   // full path of the source, as opened

// Path of the file `name` in the source's directory, written as the source argument wrote it.
std::string path_beside_source(const std::string& name);

// Longest source argument accepted.
inline constexpr std::size_t max_source_path_length = 199;

// Exit code that asks main to end the process abnormally (symbol table overflow).
inline constexpr int abnormal_end = -1;

// Runs tarn with the arguments after the program name and returns the exit code.
int run_tarn(std::span<char* const> arguments);
