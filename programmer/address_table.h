// The debugger's map from code addresses to the program's sources: for every address the
// source file and line of the statement that starts there, the line of the .hex file that holds
// the address's byte, and whether a breakpoint is set there. Filled from the .dbg and .hex files
// the assembler wrote; the lookups from an address to its lines and from a line to its addresses.
#pragma once

#include "programmer/download_image.h"
#include "programmer/programmer_link.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace programmer {

struct AddressEntry {
    std::string fileName;     // source of the statement starting here, as the .dbg names it
    std::int32_t bpFlag = 0;  // 1 when a breakpoint is set at this address
    std::int32_t line = 0;    // source line (from 1) of that statement; 0 when none starts here
    std::int32_t hexLine = 0; // .hex file line (from 0) holding this byte; 0 when none names it

    bool hasStatement() const { return line != 0; }
    bool isOn(std::int32_t sourceLine, std::string_view file) const {
        return line == sourceLine && line != 0 && fileName == file;
    }
};

struct AddressAssignmentTable {
    static constexpr std::int32_t size = 8192;

    // The entry of `address`; an empty entry for an address outside the code space.
    const AddressEntry& at(std::int32_t address) const;
    AddressEntry& operator[](std::int32_t address) {
        return entries[static_cast<std::size_t>(address)];
    }

    std::vector<AddressEntry> entries = std::vector<AddressEntry>(size);
};

// The time the loaders may take: 20 s, or 620 s with the setting "enlarge debug timeout".
constexpr std::chrono::seconds tableTimeLimit(bool enlarged) {
    return std::chrono::seconds(enlarged ? 620 : 20);
}

// Every entry empty: no file, line 0, hex line 0, no breakpoint.
void clearAddressTable(AddressAssignmentTable& table);

// Fills fileName, line and bpFlag from the .dbg file, one line "%04X: %d %s" per statement;
// other lines are skipped. 0 = loaded; 1 = failed with error 204 (cannot be read) or warning 205
// (took longer than `limit`; the entries filled so far stay).
int loadDebugFile(ProgrammerLink& link, AddressAssignmentTable& table,
                  const std::string& dbgFilePath, std::chrono::seconds limit);

// Fills hexLine from the .hex file: each word line "AAAA: BB BB" names the lines of A and A + 1.
// The image gets the file's bytes in the order of its lines, as a download would program them.
// 0 = loaded; 1 = failed with error 204 or warning 205, as loadDebugFile.
int loadHexFileLines(ProgrammerLink& link, AddressAssignmentTable& table, DownloadImage& image,
                     const std::string& hexFilePath, std::chrono::seconds limit);

enum class Clk10khzCheck : std::uint8_t { notFound, found, unreadable };

// Whether the .hex file names the clk10khz opcode, which cannot be debugged. It is found in both
// spellings, "clk10khz" and the assembler's own "clk10KHz". An unreadable file shows error 206,
// a read of more than 50 s warning 207; both give `unreadable`.
Clk10khzCheck checkHexFileForClk10khz(ProgrammerLink& link, const std::string& hexFilePath);

// Whether a statement starts on `line` of `file`. When not, info 224 is shown unless
// `suppressMessage` (the setting "suppress debug breakpoint messages") is on.
bool isValidHoldPoint(const AddressAssignmentTable& table, std::int32_t line, std::string_view file,
                      ProgrammerReport& report, bool suppressMessage);

// The addresses of the statements on `line` of `file`, in address order (a split bit jump has
// two).
std::vector<std::int32_t> addressesOnLine(const AddressAssignmentTable& table, std::int32_t line,
                                          std::string_view file);

// The source files the table names, each once, in the order of their first address.
std::vector<std::string> sourceFiles(const AddressAssignmentTable& table);

} // namespace programmer
