#include "simulator/hex_image.h"

#include "simulator/text_file.h"

#include <cctype>
#include <cstdio>
#include <string_view>

namespace sim {

namespace {

constexpr std::size_t max_line_length = 4096;
// A full 8 KB image is 4096 word lines of at most about 150 characters with their comments.
constexpr std::size_t max_file_size = 1024 * 1024;

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
    // Only blanks, or blanks and the "//" comment the assembler writes, may follow.
    const std::string_view rest = line.substr(11);
    const std::size_t text = rest.find_first_not_of(" \t");
    if (text != std::string_view::npos && (text == 0 || rest.substr(text, 2) != "//")) {
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

std::optional<HexImage> readHexText(std::string_view text, HexError& error) {
    HexImage image;
    TextLines lines(text);
    std::string_view line;
    int next_address = 0; // lowest address the next data line may have
    while (lines.next(line)) {
        error.line = lines.number();
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
    error = {};
    return image;
}

std::optional<HexImage> readHexImage(std::istream& in, HexError& error) {
    std::string text;
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > max_file_size) {
            error = {0, "the file is too large for a program image"};
            return std::nullopt;
        }
    }
    if (in.bad()) {
        error = {0, "read error"};
        return std::nullopt;
    }
    return readHexText(text, error);
}

std::optional<HexImage> readHexFile(const std::string& path, HexError& error) {
    const FileContents file = readRegularFile(path, max_file_size);
    switch (file.status) {
    case FileRead::ok:
        return readHexText(file.text, error);
    case FileRead::missing:
        error = {0, "cannot open the file"};
        break;
    case FileRead::not_regular:
        error = {0, "cannot open the file (not a regular file)"};
        break;
    case FileRead::too_large:
        error = {0, "the file is too large for a program image"};
        break;
    case FileRead::unreadable:
        error = {0, "cannot open the file (" + file.reason + ")"};
        break;
    }
    return std::nullopt;
}

} // namespace sim
