#include "programmer/libusb_backend.h"

#include <cstdio>
#include <libusb.h>
#include <map>
#include <optional>

namespace programmer {

namespace {

ViStatus statusOf(int libusb_error) {
    switch (libusb_error) {
    case LIBUSB_SUCCESS:
        return VI_SUCCESS;
    case LIBUSB_ERROR_TIMEOUT:
        return VI_ERROR_TMO;
    case LIBUSB_ERROR_PIPE: // the device stalled the request
    case LIBUSB_ERROR_OVERFLOW:
    case LIBUSB_ERROR_IO:
        return VI_ERROR_IO;
    case LIBUSB_ERROR_NO_DEVICE:
        return VI_ERROR_CONN_LOST;
    case LIBUSB_ERROR_ACCESS:
        return VI_ERROR_NPERMISSION;
    case LIBUSB_ERROR_BUSY:
        return VI_ERROR_RSRC_BUSY;
    case LIBUSB_ERROR_NOT_FOUND:
        return VI_ERROR_RSRC_NFOUND;
    case LIBUSB_ERROR_NO_MEM:
        return VI_ERROR_ALLOC;
    case LIBUSB_ERROR_INVALID_PARAM:
        return VI_ERROR_INV_PARAMETER;
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return VI_ERROR_NSUP_OPER;
    default:
        return VI_ERROR_SYSTEM_ERROR;
    }
}

// The key of a device: where it sits on the bus, unique while it stays plugged in.
std::uint64_t keyOf(libusb_device* device) {
    return (std::uint64_t{libusb_get_bus_number(device)} << 8) | libusb_get_device_address(device);
}

// The first vendor-specific interface of the device's active (or first) configuration.
std::optional<std::uint16_t> vendorInterface(libusb_device* device) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS &&
        libusb_get_config_descriptor(device, 0, &config) != LIBUSB_SUCCESS)
        return std::nullopt;
    std::optional<std::uint16_t> found;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface& interface = config->interface[i];
        if (interface.num_altsetting > 0 &&
            interface.altsetting[0].bInterfaceClass == LIBUSB_CLASS_VENDOR_SPEC)
            found = interface.altsetting[0].bInterfaceNumber;
    }
    libusb_free_config_descriptor(config);
    return found;
}

std::string serialOf(libusb_device* device, const libusb_device_descriptor& descriptor) {
    libusb_device_handle* handle = nullptr;
    unsigned char text[128] = {};
    int length = 0;
    if (descriptor.iSerialNumber != 0 && libusb_open(device, &handle) == LIBUSB_SUCCESS) {
        length = libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text,
                                                    sizeof text - 1);
        libusb_close(handle);
    }
    std::string serial;
    for (int i = 0; i < length; ++i)
        if (text[i] > ' ' && text[i] < 0x7F && text[i] != ':') serial += static_cast<char>(text[i]);
    if (serial.empty()) {
        // No readable serial number: name the device by its place on the bus.
        char place[32];
        std::snprintf(place, sizeof place, "BUS%03uDEV%03u", libusb_get_bus_number(device),
                      libusb_get_device_address(device));
        serial = place;
    }
    return serial;
}

// An open device: its handle and the interface claimed on it.
struct OpenDevice {
    libusb_device_handle* handle = nullptr;
    int interface_number = 0;
};

ViStatus transferStatus(int result, std::size_t wanted, bool out) {
    if (result < 0) return statusOf(result);
    return out && static_cast<std::size_t>(result) != wanted ? VI_ERROR_IO : VI_SUCCESS;
}

class LibusbBackend final : public protocol::UsbBackend {
public:
    LibusbBackend() {
        if (libusb_init(&context_) != LIBUSB_SUCCESS) context_ = nullptr;
    }
    ~LibusbBackend() override {
        for (auto& [handle, device] : open_)
            release(device);
        if (context_) libusb_exit(context_);
    }

    // libusb could not start (no access to the USB file system, no memory): told, not taken for
    // an empty bus.
    ViStatus startStatus() const override { return context_ ? VI_SUCCESS : VI_ERROR_SYSTEM_ERROR; }

    std::vector<protocol::UsbDeviceEntry> find() override {
        std::vector<protocol::UsbDeviceEntry> entries;
        libusb_device** list = nullptr;
        if (!context_) return entries; // no USB access on this machine: nothing to find
        const ssize_t count = libusb_get_device_list(context_, &list);
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(list[i], &descriptor) != LIBUSB_SUCCESS) continue;
            const auto interface_number = vendorInterface(list[i]);
            if (!interface_number) continue;
            entries.push_back({descriptor.idVendor, descriptor.idProduct,
                               serialOf(list[i], descriptor), *interface_number, keyOf(list[i])});
        }
        if (list) libusb_free_device_list(list, 1);
        return entries;
    }

    ViStatus open(const protocol::UsbDeviceEntry& device, protocol::UsbHandle& out) override {
        libusb_device_handle* handle = nullptr;
        ViStatus status = openByKey(device.key, handle);
        if (status != VI_SUCCESS) return status;
        // Another program that claimed the interface holds the device.
        status = statusOf(libusb_claim_interface(handle, device.interface_number));
        if (status != VI_SUCCESS) {
            libusb_close(handle);
            return status;
        }
        out = ++last_handle_;
        open_[out] = {handle, device.interface_number};
        return VI_SUCCESS;
    }

    ViStatus close(protocol::UsbHandle handle) override {
        const auto found = open_.find(handle);
        if (found == open_.end()) return VI_ERROR_INV_OBJECT;
        const ViStatus status = release(found->second);
        open_.erase(found);
        return status;
    }

    ViStatus controlOut(protocol::UsbHandle handle, const wire::ControlSetup& setup,
                        std::span<const std::uint8_t> data, std::uint32_t timeout_ms) override {
        libusb_device_handle* device = deviceOf(handle);
        if (!device) return VI_ERROR_INV_OBJECT;
        const int result = libusb_control_transfer(
            device, setup.requestType, setup.request, setup.value, setup.index,
            const_cast<unsigned char*>(data.data()), setup.length, timeout_ms);
        return transferStatus(result, setup.length, true);
    }

    ViStatus controlIn(protocol::UsbHandle handle, const wire::ControlSetup& setup,
                       std::span<std::uint8_t> data, std::uint16_t& received,
                       std::uint32_t timeout_ms) override {
        received = 0;
        libusb_device_handle* device = deviceOf(handle);
        if (!device) return VI_ERROR_INV_OBJECT;
        const int result =
            libusb_control_transfer(device, setup.requestType, setup.request, setup.value,
                                    setup.index, data.data(), setup.length, timeout_ms);
        if (result > 0) received = static_cast<std::uint16_t>(result);
        return transferStatus(result, setup.length, false);
    }

    kz71::Clock& clock() override { return *clock_; }

private:
    ViStatus openByKey(std::uint64_t key, libusb_device_handle*& handle) {
        if (!context_) return VI_ERROR_RSRC_NFOUND;
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context_, &list);
        ViStatus status = VI_ERROR_RSRC_NFOUND;
        for (ssize_t i = 0; i < count; ++i) {
            if (keyOf(list[i]) != key) continue;
            status = statusOf(libusb_open(list[i], &handle));
            break;
        }
        if (list) libusb_free_device_list(list, 1);
        return status;
    }

    static ViStatus release(const OpenDevice& device) {
        const int result = libusb_release_interface(device.handle, device.interface_number);
        libusb_close(device.handle);
        // A device that left the bus has nothing left to release.
        return result == LIBUSB_ERROR_NO_DEVICE ? VI_SUCCESS : statusOf(result);
    }

    libusb_device_handle* deviceOf(protocol::UsbHandle handle) const {
        const auto found = open_.find(handle);
        return found == open_.end() ? nullptr : found->second.handle;
    }

    libusb_context* context_ = nullptr;
    std::map<protocol::UsbHandle, OpenDevice> open_;
    protocol::UsbHandle last_handle_ = 0;
    std::shared_ptr<kz71::Clock> clock_ = kz71::steadyClock();
};

} // namespace

std::unique_ptr<protocol::UsbBackend> makeLibusbBackend() {
    return std::make_unique<LibusbBackend>();
}

} // namespace programmer
