#include "usb_descriptors.h"

namespace usb_bus {

namespace {

constexpr std::uint8_t type_device = 1;
constexpr std::uint8_t type_configuration = 2;
constexpr std::uint8_t type_string = 3;
constexpr std::uint8_t type_interface = 4;
constexpr std::uint8_t class_vendor_specific = 0xFF;
constexpr std::uint16_t language_us_english = 0x0409;
constexpr const char* product_name = "KZ71 programmer";

std::uint8_t low(std::uint16_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t high(std::uint16_t value) {
    return static_cast<std::uint8_t>(value >> 8);
}

Bytes utf16String(const std::string& text) {
    Bytes descriptor{0, type_string};
    for (const char c : text) {
        descriptor.push_back(static_cast<std::uint8_t>(c));
        descriptor.push_back(0);
    }
    descriptor[0] = static_cast<std::uint8_t>(descriptor.size());
    return descriptor;
}

} // namespace

Bytes deviceDescriptor(const DeviceIdentity& device) {
    return {18,
            type_device,
            0x00,
            0x02, // USB 2.0
            0,
            0,
            0,  // class, subclass, protocol: given by the interface
            64, // bMaxPacketSize0
            low(device.vendor),
            high(device.vendor),
            low(device.product),
            high(device.product),
            0x00,
            0x01, // bcdDevice 1.00
            0,    // iManufacturer
            product_string,
            serial_string,
            1}; // bNumConfigurations
}

Bytes configurationDescriptor() {
    return {9,
            type_configuration,
            18,
            0,    // wTotalLength: this descriptor and the interface
            1,    // bNumInterfaces
            1,    // bConfigurationValue
            0,    // iConfiguration
            0x80, // bus powered
            50,   // 100 mA
            9,
            type_interface,
            0, // bInterfaceNumber
            0, // bAlternateSetting
            0, // bNumEndpoints: everything goes over the control endpoint
            class_vendor_specific,
            0,
            0,
            0}; // iInterface
}

Bytes descriptorsAttribute(const DeviceIdentity& device) {
    Bytes all = deviceDescriptor(device);
    const Bytes configuration = configurationDescriptor();
    all.insert(all.end(), configuration.begin(), configuration.end());
    return all;
}

std::optional<Bytes> stringDescriptor(const DeviceIdentity& device, std::uint8_t index) {
    switch (index) {
    case 0:
        return Bytes{4, type_string, low(language_us_english), high(language_us_english)};
    case product_string:
        return utf16String(product_name);
    case serial_string:
        return utf16String(device.serial);
    default:
        return std::nullopt;
    }
}

std::optional<Bytes> requestedDescriptor(const DeviceIdentity& device, std::uint16_t value) {
    const auto type = static_cast<std::uint8_t>(value >> 8);
    const auto index = static_cast<std::uint8_t>(value & 0xFF);
    if (type == type_device && index == 0) return deviceDescriptor(device);
    if (type == type_configuration && index == 0) return configurationDescriptor();
    if (type == type_string) return stringDescriptor(device, index);
    return std::nullopt;
}

} // namespace usb_bus
