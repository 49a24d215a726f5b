// The download image: the code bytes of the last loaded .hex file and the values last written to
// the user EEPROM, the line rule the .hex and .epr readers share, and the user EEPROM table.
#pragma once

#include "programmer/programmer_link.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace programmer {

struct DownloadImage {
    static constexpr std::size_t code_size = 8192;
    static constexpr std::size_t user_eeprom_size = 128;
    // Byte 38 carries the redundancy-mode bits.
    static constexpr std::size_t mode_byte = 38;

    std::array<std::uint8_t, code_size> code{}; // byte i is programmed at address i
    std::int32_t lastIndex = 0;                 // index of the last loaded byte
    std::array<std::uint8_t, user_eeprom_size> userEeprom{};

    // Both low bits of byte 38 set: the image is programmed twice (OTP).
    bool redundancyMode() const { return (code[mode_byte] & 3) == 3; }
};

enum class ImageLineKind : std::uint8_t {
    end,     // "// --- EOF ---" without a line end: reading stops
    skip,    // an empty line or a "//" comment
    data,    // an address and one or two byte values
    invalid, // a line that is neither
};

struct ImageLine {
    ImageLineKind kind = ImageLineKind::skip;
    std::uint32_t address = 0;
    std::array<std::uint8_t, 2> values{};
    int valueCount = 0;
};

// The rule for one line of a .hex or .epr file, given with its line end ("\n" or "\r\n") if it
// has one: a hexadecimal address, a separator up to the first blank, then up to two hexadecimal
// byte values separated by blanks; the rest of the line is ignored.
ImageLine readImageLine(std::string_view line);

// Reads a .hex or .epr file by the line rule, with the pause of 0.1 s after opening it: the text
// `openFailed` when it cannot be read, `timedOut` when reading takes more than 50 s. Each line
// that is neither skipped nor the end goes to `onLine` with its number; false from it stops the
// reading as failed. 0 = read to its end, 1 = failed. With `reportProgress` the report's
// progress follows the part of the file read (for readers that take their time per line).
using ImageLineHandler = std::function<bool(const ImageLine& line, int lineNumber)>;
int readImageFile(ProgrammerLink& link, const std::string& path, std::string_view openFailed,
                  std::string_view timedOut, const ImageLineHandler& onLine,
                  bool reportProgress = false);

// Loads the .hex file at `hexFilePath` into `image.code` (0 = loaded, 1 = failed with a message).
// The bytes fill the image in the order of the lines, whatever their addresses say; a file with
// more than 8192 bytes or a line that is not a data line is refused.
int loadHexImage(ProgrammerLink& link, DownloadImage& image, const std::string& hexFilePath);

// Shows `image.userEeprom` in the Download page's table: cell i as "0x" and two lower-case hex
// digits, in column (i mod 8) + 2 and row (i div 8) + 2.
void showUserEepromTable(ProgrammerReport& report, const DownloadImage& image);

} // namespace programmer
