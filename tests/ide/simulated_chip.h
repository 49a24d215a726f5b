// The simulated programmer and chip behind the IDE's programmer link, for the GUI tests, behind
// a small interface so that the GUI tests need none of the simulator's headers.
#pragma once

#include "protocol/clock.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ide::test {

// A fresh simulated programmer on `clock`, selected as the programmer the IDE talks to; each
// control transfer takes `transferTime` on the bus.
bool useSimulatedChip(kz71::Clock& clock, std::string& error,
                      std::chrono::microseconds transferTime = std::chrono::milliseconds(1));
// A fresh one on a clock of its own (the test's clock is going away).
void releaseSimulatedChip();
// What a download leaves in the SPI EEPROM: the image, then blank bytes.
void putIntoSpiEeprom(std::span<const std::uint8_t> image);
// The transfers since the log was cleared, as the simulator describes them.
std::vector<std::string> transferLog();
void clearTransferLog();
bool programmerInDebugMode();

} // namespace ide::test
