// Entry points of the assembler's front end for the driver, tests and tools.
#pragma once

#include <cstdio>

// Puts every piece of the front end's process-wide state back to its start: program lists,
// symbol table, scanner and include stack, defined names, counters, kept texts, error
// counter and stop request.
void reset_front_end();

// Parses one source, already opened as `input` (the caller closes it), into the program
// lists. Returns the parser's result: 0 accepted, 1 abandoned, 2 stack exhausted. The
// caller also looks at err_cnt and stop_requested().
int parse_source(const char* path, FILE* input);
