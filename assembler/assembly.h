// Everything the assembly of one source holds, from its command-line argument to its output
// files. Each phase receives it; each source gets a fresh one, so a test, the benchmark or
// the fuzzer can assemble many sources in one process with nothing of one reaching the next.
#pragma once

#include "assembler/diagnostics.h"
#include "assembler/program_lists.h"
#include "assembler/source_file.h"
#include "assembler/source_paths.h"
#include "assembler/symtab.h"
#include "assembler/text_store.h"
#include "assembler/user_eeprom.h"

#include <cstdint>
#include <cstdio>
#include <string>

// A source holds at most this many statements: 32 times what the largest program (8143
// one-byte statements) can hold. More is reported and ends the parse, which bounds the
// assembler's memory whatever the source.
inline constexpr int32_t max_statements = 262144;

class Assembly {
public:
    // Messages go to `out` and `err` (standard output and error output in tarn).
    explicit Assembly(FILE* out = stdout, FILE* err = stderr)
        : diag(out, err), texts(diag), lists(diag), symbols(diag) {}
    Assembly(const Assembly&) = delete;
    Assembly& operator=(const Assembly&) = delete;

    Diagnostics diag;    // err_cnt, the message streams, a requested stop
    SourcePaths source;  // inpFilePath, inpFileName, parseFile, exePath
    TextStore texts;     // names and file names the records point to
    ProgramLists lists;  // start_opcode, start_jumplabel, start_const
    SymbolTable symbols; // symtab
    UserEeprom eeprom;   // eeprom_cells, eeprom_used_cells
    int32_t op_cnt = 0;  // running statement counter

    // The phases in the driver's order; each after the first runs only while err_cnt is 0.
    // Parses `text`, the main file at `path`, into the program lists. Returns the parser's
    // result: 0 accepted, 1 abandoned, 2 stack exhausted (see also err_cnt and a stop).
    int parse_source(const std::string& path, SourceText text);
    // Checks every statement's operands, resolves labels, sizes and places the statements.
    void check_opcode();
    // Makes every jump reach its target (short or long forms, skips turned into jumps).
    void check_jump();
    // Encodes the program and writes the .hex file, and the .epr file or removes it.
    void write_hexfile();
    // Writes the .dbg file.
    void write_dbgfile();
};
