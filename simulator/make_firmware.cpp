// Writes the firmware file that the kit ships (data/firmware/firmware.hex) on standard output:
//   kz71_make_firmware > data/firmware/firmware.hex
// The image holds what a programmer firmware carries: the USB device descriptor it enumerates
// with, its strings, the table of commands it answers, and its code. The simulated programmer
// does not execute the code; its bytes are a fixed filler of a plausible size.
#include "protocol/command_codes.h"
#include "simulator/firmware_image.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint8_t firmware_version = 1;
constexpr std::size_t code_size = 3072;

void add16(std::vector<std::uint8_t>& bytes, std::uint16_t value) { // little-endian, as USB
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void addDeviceDescriptor(std::vector<std::uint8_t>& bytes) {
    bytes.insert(bytes.end(), {18, 0x01});             // length, device descriptor
    add16(bytes, 0x0200);                              // USB 2.0
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 64}); // vendor-specific, 64-byte packets
    add16(bytes, wire::manufacturer_id);
    add16(bytes, wire::programmer_model_alt);
    add16(bytes, 0x0100 | firmware_version);
    bytes.insert(bytes.end(), {1, 2, 3, 1}); // string indexes, one configuration
}

void addString(std::vector<std::uint8_t>& bytes, std::string_view text) {
    bytes.push_back(static_cast<std::uint8_t>(2 + 2 * text.size()));
    bytes.push_back(0x03); // string descriptor, UTF-16LE
    for (char c : text)
        add16(bytes, static_cast<std::uint8_t>(c));
}

void addCommandTable(std::vector<std::uint8_t>& bytes) {
    bytes.push_back(static_cast<std::uint8_t>(std::size(wire::all_commands)));
    for (std::uint16_t command : wire::all_commands)
        bytes.push_back(static_cast<std::uint8_t>(command));
}

// A fixed pseudo-random sequence (xorshift), the same at every run.
void addCode(std::vector<std::uint8_t>& bytes) {
    std::uint32_t state = 0x4B5A3731;
    while (bytes.size() < code_size) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes.push_back(static_cast<std::uint8_t>(state >> 24));
    }
}

} // namespace

int main() {
    std::vector<std::uint8_t> code;
    addDeviceDescriptor(code);
    addString(code, "KZ71");
    addString(code, "KZ71 Programmer");
    addCommandTable(code);
    addCode(code);
    const std::string text = sim::firmwareHexText(sim::makeFirmwareImage(code, firmware_version));
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
