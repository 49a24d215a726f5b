// VISA's USB RAW resource names:
// "USB<board>::<manufacturer>::<model>::<serial>[::<interface>]::RAW".
#pragma once

#include "protocol/usb_backend.h"

#include <optional>
#include <string>
#include <string_view>

namespace visa_detail {

using protocol::UsbDeviceEntry;

struct UsbResourceName {
    unsigned board = 0;
    std::uint16_t vendor = 0;
    std::uint16_t model = 0;
    std::string serial;
    std::uint16_t interface_number = 0;
    bool raw = true; // false for an INSTR resource, which no device here offers
};

// The canonical name of a device on board 0, e.g. "USB0::0x194E::0x100F::KZ71SIM0001::RAW".
std::string canonicalName(const UsbDeviceEntry& device);
// Parses a USB resource name (case-insensitive keywords, numbers in decimal or 0x hex).
std::optional<UsbResourceName> parseUsbResourceName(std::string_view name);
bool sameDevice(const UsbResourceName& name, const UsbDeviceEntry& device);

} // namespace visa_detail
