// The standard USB descriptors of an emulated programmer: what its sysfs "descriptors" attribute
// holds (device, one configuration, one vendor-specific interface without endpoints) and the
// string descriptors its control endpoint answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace usb_bus {

using Bytes = std::vector<std::uint8_t>;

struct DeviceIdentity {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string serial;
};

inline constexpr std::uint8_t product_string = 1;
inline constexpr std::uint8_t serial_string = 2;

Bytes deviceDescriptor(const DeviceIdentity& device);
// The configuration descriptor with its interface descriptor (wTotalLength bytes).
Bytes configurationDescriptor();
// Device and configuration descriptors back to back, as the kernel's sysfs attribute has them.
Bytes descriptorsAttribute(const DeviceIdentity& device);
// String descriptor `index` in UTF-16LE (index 0: the language list, US English); none for an
// index the device does not have.
std::optional<Bytes> stringDescriptor(const DeviceIdentity& device, std::uint8_t index);
// What a GET_DESCRIPTOR request with this wValue (type in the high byte, index in the low byte)
// asks for: the device, configuration or a string descriptor; none for one the device lacks.
std::optional<Bytes> requestedDescriptor(const DeviceIdentity& device, std::uint16_t value);

} // namespace usb_bus
