// tarn's driver: the command line, the phases of one source, and the closing line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>

// Longest source argument accepted.
inline constexpr std::size_t max_source_path_length = 199;

// Exit code that asks main to end the process abnormally (symbol table overflow).
inline constexpr int abnormal_end = -1;

// Runs tarn with the arguments after the program name and returns the exit code. Messages
// go to `out` and `err`. Each source argument is assembled from a clean state of its own.
int run_tarn(std::span<char* const> arguments, FILE* out = stdout, FILE* err = stderr);
