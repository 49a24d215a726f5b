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
    rejected, // not a state file, a damaged one, or not a readable regular file: left
              // untouched and never overwritten
};

struct StateLoadResult {
    StateLoad kind = StateLoad::missing;
    std::string problem; // for rejected files, e.g. "<path>: line <n>: <what is wrong>"
};

std::string serializeState(const Board& board);
// Parses a whole state file into `board`; on failure leaves `board` as it was and says why.
bool parseState(std::string_view text, Board& board, std::string& problem);

// Reads a regular file only (a FIFO or a device is refused unopened), of at most 1 MB.
StateLoadResult loadStateFile(const std::string& path, Board& board);
// Whether saveStateFile could write `path` now; says why not ("<path>: cannot be written
// (Permission denied)"). Changes nothing.
bool checkStateFileWritable(const std::string& path, std::string& problem);
// Writes `text` (from serializeState) through a temporary file in the same folder and a rename,
// so a crash never leaves half a file. A symbolic link keeps pointing where it points: the file
// it leads to is replaced. Something that is not a regular file, or a read-only file, is left
// alone and reported.
bool saveStateFile(const std::string& path, std::string_view text, std::string& problem);

} // namespace sim
