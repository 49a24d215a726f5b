// The debugger on the simulated programmer and a virtual clock, with programs assembled by the
// real tarn: the chip's SPI EEPROM holds the program, the page is a recording view.
#pragma once

#include "link_fixture.h"
#include "programmer/debugger.h"
#include "programmer/run_control.h"
#include "recording_view.h"

#include <map>
#include <string>

// `start` (whose statement at address 4 is a bit jump to the label "far"), then 200 bytes of
// code and "far:": the bit jump's target lies too far away, so it is split into a bit skip and a
// goto on the same line, at addresses 4 and 6.
std::string splitBitJumpProgram(const std::string& start);

struct DebuggerTest : LinkTest {
    // Writes prog.asm (and the other files given), assembles it with tarn, puts the image into
    // the simulated chip's SPI EEPROM and loads the program into the debugger.
    void build(const std::string& source, const std::map<std::string, std::string>& others = {});
    // Puts the image of a .hex file into the simulated SPI EEPROM (what a download does).
    void putIntoChip(const std::string& hexPath);
    // The source line (from 1) of the first line of `file` that contains `text`.
    int lineOf(const std::string& text, const std::string& file = "prog.asm") const;
    // The tab showing `file`.
    int tabOf(const std::string& file) const;
    // The .hex line (from 0) holding the byte at `address`, as the table has it.
    int hexLineOf(int address) const { return debugger.table.at(address).hexLine; }
    // Source line of the address the chip stands at, as "file:line".
    std::string where(std::int32_t address) const;

    RecordingView view;
    programmer::Debugger debugger{link, view};
};
