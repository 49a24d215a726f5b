#include "programmer/usb_resource_name.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace visa_detail {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<unsigned long> parseNumber(std::string_view text, unsigned long max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 8) return std::nullopt;
    unsigned long value = 0;
    for (char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : std::isxdigit(static_cast<unsigned char>(c))
                              ? std::toupper(c) - 'A' + 10
                              : 99;
        if (digit >= base) return std::nullopt;
        value = value * base + static_cast<unsigned long>(digit);
    }
    if (value > max) return std::nullopt;
    return value;
}

std::vector<std::string_view> splitFields(std::string_view name) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t end = name.find("::");
        fields.push_back(name.substr(0, end));
        if (end == std::string_view::npos) return fields;
        name.remove_prefix(end + 2);
    }
}

} // namespace

std::string canonicalName(const UsbDeviceEntry& device) {
    char head[32];
    std::snprintf(head, sizeof head, "USB0::0x%04X::0x%04X::", device.vendor, device.model);
    std::string name = head + device.serial;
    if (device.interface_number != 0) name += "::" + std::to_string(device.interface_number);
    return name + "::RAW";
}

std::optional<UsbResourceName> parseUsbResourceName(std::string_view name) {
    const std::vector<std::string_view> fields = splitFields(name);
    if (fields.size() < 4 || fields.size() > 6) return std::nullopt;
    UsbResourceName parsed;
    const std::string_view interface_type = fields[0];
    if (interface_type.size() < 3 || !equalsIgnoringCase(interface_type.substr(0, 3), "USB"))
        return std::nullopt;
    const std::string_view board = interface_type.substr(3);
    if (board.size() > 4 || !std::all_of(board.begin(), board.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return std::nullopt;
    for (char digit : board)
        parsed.board = parsed.board * 10 + static_cast<unsigned>(digit - '0');
    const auto vendor = parseNumber(fields[1], 0xFFFF);
    const auto model = parseNumber(fields[2], 0xFFFF);
    if (!vendor || !model || fields[3].empty()) return std::nullopt;
    parsed.vendor = static_cast<std::uint16_t>(*vendor);
    parsed.model = static_cast<std::uint16_t>(*model);
    parsed.serial = std::string(fields[3]);
    std::size_t next = 4;
    if (fields.size() == 6 || (fields.size() == 5 && !equalsIgnoringCase(fields[4], "RAW") &&
                               !equalsIgnoringCase(fields[4], "INSTR"))) {
        const auto interface_number = parseNumber(fields[4], 0xFF);
        if (!interface_number) return std::nullopt;
        parsed.interface_number = static_cast<std::uint16_t>(*interface_number);
        next = 5;
    }
    if (next == fields.size()) {
        parsed.raw = false; // VISA's default resource class is INSTR
        return parsed;
    }
    if (next + 1 != fields.size()) return std::nullopt;
    if (equalsIgnoringCase(fields[next], "RAW")) return parsed;
    if (!equalsIgnoringCase(fields[next], "INSTR")) return std::nullopt;
    parsed.raw = false;
    return parsed;
}

bool sameDevice(const UsbResourceName& name, const UsbDeviceEntry& device) {
    return name.board == 0 && name.raw && name.vendor == device.vendor &&
           name.model == device.model && name.serial == device.serial &&
           name.interface_number == device.interface_number;
}

} // namespace visa_detail
