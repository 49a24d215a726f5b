// Reads a program image from the assembler's .hex file: header and comment lines ("//..."),
// empty lines, and one data line per program word, "AAAA: BB BB" followed by a tab and the
// comment ("0000: 70 00\t//--- 0: move_3 (0,5);  move_2 (0,5);"); nothing but blanks and that
// comment may follow the two bytes. CR LF and LF line ends.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct HexImage {
    std::vector<std::uint8_t> bytes; // from address 0; gaps between lines hold 0x00
};

struct HexError {
    int line = 0; // 0 when the file itself cannot be read
    std::string message;
};

inline constexpr std::size_t hex_image_capacity = 8192;

std::optional<HexImage> readHexText(std::string_view text, HexError& error);
// Reads at most the size bound of a program image's file (1 MB) from `in`.
std::optional<HexImage> readHexImage(std::istream& in, HexError& error);
// Reads a regular file only (a FIFO or a device is refused unopened), up to the size bound.
std::optional<HexImage> readHexFile(const std::string& path, HexError& error);

} // namespace sim
