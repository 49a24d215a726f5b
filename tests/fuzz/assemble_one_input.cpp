// Fuzz entry point: one input is one main source file, run through every phase of tarn up to
// the code image. Built as a libFuzzer target (KZ71_FUZZ, clang) and, with
// replay_main.cpp, as a plain program that replays the stored corpus in every test run.
#include "../assembler/in_process_assembly.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Every input gets an assembly of its own, so nothing of one input reaches the next. Includes
// may name any path: only regular files of bounded size are read, so device files and FIFOs
// are refused rather than read forever.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source(reinterpret_cast<const char*>(data), size);
    assemble_in_process(source);
    return 0;
}
