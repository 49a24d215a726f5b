#include "simulator/hex_image.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <string_view>

namespace sim {

namespace {

constexpr std::size_t max_line_length = 4096;
constexpr std::size_t max_file_size = 16 * 1024 * 1024;

int hexValue(std::string_view digits) {
    int value = 0;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return -1;
        value = value * 16 + (std::isdigit(static_cast<unsigned char>(c))
                                  ? c - '0'
                                  : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
    }
    return value;
}

bool isBlank(std::string_view line) {
    for (char c : line)
        if (!std::isspace(static_cast<unsigned char>(c))) return false;
    return true;
}

// Parses "AAAA: BB BB" at the start of a data line; says what is wrong otherwise.
bool parseDataLine(std::string_view line, int& address, int (&bytes)[2], std::string& problem) {
    if (line.size() < 11 || line[4] != ':' || line[5] != ' ' || line[8] != ' ') {
        problem = "expected a data line \"AAAA: BB BB\" (address and two byte values)";
        return false;
    }
    address = hexValue(line.substr(0, 4));
    bytes[0] = hexValue(line.substr(6, 2));
    bytes[1] = hexValue(line.substr(9, 2));
    if (address < 0) {
        problem = "'" + std::string(line.substr(0, 4)) + "' is not a hexadecimal address";
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if (bytes[i] < 0) {
            problem = "'" + std::string(line.substr(6 + 3 * i, 2)) + "' is not a hexadecimal byte";
            return false;
        }
    }
    if (line.size() > 11 && !std::isspace(static_cast<unsigned char>(line[11]))) {
        problem = "unexpected text after the two byte values";
        return false;
    }
    return true;
}

std::string addressText(int address) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", address);
    return text;
}

} // namespace

std::optional<HexImage> readHexImage(std::istream& in, HexError& error) {
    HexImage image;
    std::string line;
    int number = 0;
    int next_address = 0; // lowest address the next data line may have
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        error.line = number;
        if (line.size() > max_line_length) {
            error.message = "line too long";
            return std::nullopt;
        }
        if (isBlank(line) || line.starts_with("//")) continue;
        int address = 0;
        int bytes[2] = {};
        if (!parseDataLine(line, address, bytes, error.message)) return std::nullopt;
        if (address % 2 != 0) {
            error.message =
                "address " + addressText(address) + " is odd (one line per program word)";
            return std::nullopt;
        }
        if (address < next_address) {
            error.message = "address " + addressText(address) + " does not follow " +
                            addressText(next_address - 2) + " (addresses must increase)";
            return std::nullopt;
        }
        if (static_cast<std::size_t>(address) + 2 > hex_image_capacity) {
            error.message =
                "address " + addressText(address) + " lies beyond the 8 KB program memory";
            return std::nullopt;
        }
        image.bytes.resize(static_cast<std::size_t>(address) + 2, 0x00);
        image.bytes[address] = static_cast<std::uint8_t>(bytes[0]);
        image.bytes[address + 1] = static_cast<std::uint8_t>(bytes[1]);
        next_address = address + 2;
    }
    if (in.bad()) {
        error.line = number;
        error.message = "read error";
        return std::nullopt;
    }
    error = {};
    return image;
}

std::optional<HexImage> readHexFile(const std::string& path, HexError& error) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        error = {0, "cannot open the file"};
        return std::nullopt;
    }
    // A full image with its comments is a few hundred kilobytes.
    if (file.tellg() > std::streamoff{max_file_size}) {
        error = {0, "the file is too large for a program image"};
        return std::nullopt;
    }
    file.seekg(0);
    return readHexImage(file, error);
}

} // namespace sim
