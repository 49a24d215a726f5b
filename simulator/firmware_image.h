// The programmer's firmware image as the simulated loader accepts it, and its Intel HEX form
// ("firmware/firmware.hex").
//
// The image starts at loader address 0x0000 with a 16-byte descriptor (numbers high byte first):
//
//   0x0000  6 bytes  the marker "KZ71FW" (ASCII)
//   0x0006  1 byte   the descriptor layout, 1
//   0x0007  1 byte   the firmware's own version number
//   0x0008  2 bytes  the image length in bytes, from 0x0000 and with the descriptor
//                    (0x0010 to 0xE600: the image lies below the CPU control byte)
//   0x000A  4 bytes  the CRC-32 of the image bytes from 0x0010 to its end (the CRC of zip and
//                    PNG: reflected polynomial 0xEDB88320, initial value and final XOR 0xFFFFFFFF)
//   0x000E  2 bytes  0x00 0x00
//   0x0010  ...      the firmware's code and tables
//
// When the host starts the loader's CPU, the loader checks that the descriptor is there, that
// every byte of the image was written since the loader came on the bus and nothing outside it
// (but the CPU control byte), and that the CRC matches. Only then does the firmware run.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sim {

inline constexpr std::size_t loader_memory_size = 0x10000;
inline constexpr std::size_t firmware_descriptor_size = 16;
inline constexpr std::size_t firmware_max_size = 0xE600;
inline constexpr std::uint8_t firmware_layout = 1;

// Which loader memory bytes a host wrote.
using WrittenBytes = std::bitset<loader_memory_size>;

std::uint32_t crc32(std::span<const std::uint8_t> bytes);

// The image of a firmware with this code (and tables): the descriptor followed by `code`.
std::vector<std::uint8_t> makeFirmwareImage(std::span<const std::uint8_t> code,
                                            std::uint8_t version);

// Intel HEX text of an image loaded at 0x0000: data records of 16 bytes, then the end record,
// each line ending in CR LF.
std::string firmwareHexText(std::span<const std::uint8_t> image);

// Why the loader's memory does not hold a complete, well-formed image; nothing when it does.
// `written` tells the bytes the host wrote, without the CPU control byte.
std::optional<std::string> firmwareProblem(std::span<const std::uint8_t, loader_memory_size> memory,
                                           const WrittenBytes& written);

} // namespace sim
