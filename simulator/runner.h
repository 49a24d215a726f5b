// Runs a program image on the simulated chip, one instruction per step, with an optional trace
// line per step and the final registers: the work of "kz71sim run".
#pragma once

#include "simulator/chip.h"

#include <cstdint>
#include <ostream>
#include <span>
#include <string>

namespace sim {

inline constexpr long default_step_limit = 100000;

struct RunOptions {
    long step_limit = default_step_limit;
    bool trace = false;
};

enum class RunEnd : std::uint8_t {
    stopped,      // the program address stayed where it was (stop, or a jump to itself)
    ran_past_end, // the program address left the image
    step_limit,   // the step limit was reached
};

struct RunSummary {
    RunEnd end = RunEnd::step_limit;
    long steps = 0;
};

// Runs on `chip` after a power reset, with `image` as its program: the chip's non-volatile
// memories (the user EEPROM a program reads and writes) are the caller's.
RunSummary runProgram(Chip& chip, std::span<const std::uint8_t> image, const RunOptions& options,
                      std::ostream& out);
// Runs on a chip of its own with blank memories.
RunSummary runProgram(std::span<const std::uint8_t> image, const RunOptions& options,
                      std::ostream& out);

// The registers the debugger shows: program address, flags, accumulators, HB0, RAM pointer.
std::string finalRegisters(const Chip& chip);

} // namespace sim
