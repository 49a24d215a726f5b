// The code image: the bytes the KZ71 executes from address 0, each with a comment that
// names the statement it belongs to.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int code_space_size = 8192;
// Largest program tarn accepts, and the largest when the program selects redundancy mode.
inline constexpr int max_program_size = 8143;
inline constexpr int max_redundancy_program_size = 4046;
// The code byte whose two low bits, both set, select redundancy mode.
inline constexpr int redundancy_mode_address = 38;

struct CodeImage {
    std::array<uint8_t, code_space_size> bytes{};
    std::vector<std::string> comments = std::vector<std::string>(code_space_size);
    int length = 0; // bytes of the program
};

// Encodes the statement list from address 0. A program that grows beyond the largest size
// is cut after the statement that crosses it; that, and a program too large for the
// redundancy mode it selects, are reported and counted, but the image is still returned.
CodeImage build_code_image();
