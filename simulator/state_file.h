// The non-volatile memories of the simulated board (SPI EEPROM, OTP, user EEPROM) kept in a text
// file between runs, so that the simulated chip keeps its program like a real one.
#pragma once

#include "simulator/board.h"

#include <string>
#include <string_view>

namespace sim {

enum class StateLoad : std::uint8_t {
    loaded,
    missing,  // no file yet: the memories start blank
    rejected, // not a state file, or a damaged one: left untouched and never overwritten
};

struct StateLoadResult {
    StateLoad kind = StateLoad::missing;
    std::string problem; // for rejected files: "<path>: line <n>: <what is wrong>"
};

std::string serializeState(const Board& board);
// Parses a whole state file into `board`; on failure leaves `board` as it was and says why.
bool parseState(std::string_view text, Board& board, std::string& problem);

StateLoadResult loadStateFile(const std::string& path, Board& board);
// Writes `text` (from serializeState) through a temporary beside the file, so a crash never
// leaves half a file.
bool saveStateFile(const std::string& path, std::string_view text, std::string& problem);

} // namespace sim
