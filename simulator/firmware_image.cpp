#include "simulator/firmware_image.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace sim {

namespace {

constexpr std::string_view marker = "KZ71FW";
constexpr std::size_t layout_offset = 6;
constexpr std::size_t version_offset = 7;
constexpr std::size_t length_offset = 8;
constexpr std::size_t crc_offset = 10;
constexpr std::size_t bytes_per_record = 16;

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (std::uint8_t b : bytes)
        value = (value << 8) | b;
    return value;
}

void putBigEndian(std::span<std::uint8_t> bytes, std::uint32_t value) {
    for (std::size_t i = bytes.size(); i-- > 0; value >>= 8)
        bytes[i] = static_cast<std::uint8_t>(value);
}

std::string hexNumber(std::size_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04zX", value);
    return text;
}

// The first byte in [first, last) whose written mark is `wanted`, or `last`.
std::size_t firstMarked(const WrittenBytes& written, std::size_t first, std::size_t last,
                        bool wanted) {
    while (first < last && written[first] != wanted)
        ++first;
    return first;
}

std::string record(std::size_t address, std::uint8_t type, std::span<const std::uint8_t> data) {
    char field[16];
    std::snprintf(field, sizeof field, ":%02zX%04zX%02X", data.size(), address, type);
    std::string line = field;
    unsigned sum = data.size() + (address >> 8) + (address & 0xFF) + type;
    for (std::uint8_t b : data) {
        std::snprintf(field, sizeof field, "%02X", b);
        line += field;
        sum += b;
    }
    std::snprintf(field, sizeof field, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + field;
}

} // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320u : 0u);
    }
    return crc ^ 0xFFFFFFFF;
}

std::vector<std::uint8_t> makeFirmwareImage(std::span<const std::uint8_t> code,
                                            std::uint8_t version) {
    std::vector<std::uint8_t> image(firmware_descriptor_size + code.size(), 0x00);
    std::copy(code.begin(), code.end(), image.begin() + firmware_descriptor_size);
    std::copy(marker.begin(), marker.end(), image.begin());
    image[layout_offset] = firmware_layout;
    image[version_offset] = version;
    const std::span<std::uint8_t> all(image);
    putBigEndian(all.subspan(length_offset, 2), static_cast<std::uint32_t>(image.size()));
    putBigEndian(all.subspan(crc_offset, 4), crc32(all.subspan(firmware_descriptor_size)));
    return image;
}

std::string firmwareHexText(std::span<const std::uint8_t> image) {
    std::string text;
    for (std::size_t address = 0; address < image.size(); address += bytes_per_record)
        text += record(address, 0x00,
                       image.subspan(address, std::min(bytes_per_record, image.size() - address)));
    return text + record(0, 0x01, {});
}

std::optional<std::string> firmwareProblem(std::span<const std::uint8_t, loader_memory_size> memory,
                                           const WrittenBytes& written) {
    if (written.none()) return "no firmware was loaded";
    const std::size_t unwritten_descriptor =
        firstMarked(written, 0, firmware_descriptor_size, false);
    if (unwritten_descriptor < firmware_descriptor_size)
        return "the firmware descriptor at 0x0000 was not written (" +
               hexNumber(unwritten_descriptor) + " is missing)";
    if (!std::equal(marker.begin(), marker.end(), memory.begin()))
        return "no firmware descriptor (\"KZ71FW\") at 0x0000";
    if (memory[layout_offset] != firmware_layout)
        return "unknown firmware descriptor layout " + std::to_string(memory[layout_offset]);
    const std::size_t length = bigEndian(memory.subspan(length_offset, 2));
    if (length < firmware_descriptor_size || length > firmware_max_size)
        return "firmware length " + hexNumber(length) + " is out of range";
    const std::size_t gap = firstMarked(written, 0, length, false);
    if (gap < length)
        return "the firmware image is incomplete: " + hexNumber(gap) + " was never written";
    const std::size_t stray = firstMarked(written, length, loader_memory_size, true);
    if (stray < loader_memory_size)
        return "data was written at " + hexNumber(stray) + ", outside the firmware image (" +
               hexNumber(length) + " bytes)";
    const std::uint32_t expected = bigEndian(memory.subspan(crc_offset, 4));
    const std::uint32_t actual =
        crc32(memory.subspan(firmware_descriptor_size, length - firmware_descriptor_size));
    if (actual != expected) {
        char text[96];
        std::snprintf(text, sizeof text,
                      "the firmware checksum is 0x%08X, its descriptor says 0x%08X",
                      static_cast<unsigned>(actual), static_cast<unsigned>(expected));
        return std::string(text);
    }
    return std::nullopt;
}

} // namespace sim
