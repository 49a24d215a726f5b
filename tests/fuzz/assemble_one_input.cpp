// Fuzz entry point: one input is one main source file, run through every phase of tarn up to
// the code image. Built as a libFuzzer target (KZ71_FUZZ, clang) and, with
// replay_main.cpp, as a plain program that replays the stored corpus in every test run.
#include "../assembler/in_process_assembly.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Device files would make an include read forever; that is the user's choice, not a fault.
bool names_a_device(const std::string& source) {
    for (const char* device : {"/dev", "/proc", "/sys"})
        if (source.find(device) != std::string::npos) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source(reinterpret_cast<const char*>(data), size);
    if (names_a_device(source)) return 0;
    assemble_in_process(source);
    return 0;
}
