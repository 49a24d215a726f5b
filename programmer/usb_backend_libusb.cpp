// The VISA layer's backend for real devices: libusb-1.0. Lists the devices with a vendor-specific
// interface (VISA's USB RAW class) and makes control transfers on them.
#include "programmer/usb_backend.h"

#include <cstdio>
#include <libusb.h>
#include <optional>

namespace visa_detail {

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

class LibusbConnection final : public UsbConnection {
public:
    LibusbConnection(libusb_device_handle* handle, int interface_number)
        : handle_(handle), interface_(interface_number) {}
    ~LibusbConnection() override {
        libusb_release_interface(handle_, interface_);
        libusb_close(handle_);
    }

    ViStatus controlOut(const wire::ControlSetup& request, const std::uint8_t* data,
                        ViUInt32 timeout_ms) override {
        const int result = libusb_control_transfer(
            handle_, request.requestType, request.request, request.value, request.index,
            const_cast<unsigned char*>(data), request.length, timeout_ms);
        if (result < 0) return statusOf(result);
        return result == request.length ? VI_SUCCESS : VI_ERROR_IO;
    }

    ViStatus controlIn(const wire::ControlSetup& request, std::uint8_t* data,
                       std::uint16_t& received, ViUInt32 timeout_ms) override {
        const int result =
            libusb_control_transfer(handle_, request.requestType, request.request, request.value,
                                    request.index, data, request.length, timeout_ms);
        if (result < 0) return statusOf(result);
        received = static_cast<std::uint16_t>(result);
        return VI_SUCCESS;
    }

private:
    libusb_device_handle* handle_;
    int interface_;
};

class LibusbBackend final : public UsbBackend {
public:
    LibusbBackend() {
        if (libusb_init(&context_) != LIBUSB_SUCCESS) context_ = nullptr;
    }
    ~LibusbBackend() override {
        if (context_) libusb_exit(context_);
    }

    std::vector<UsbDeviceEntry> enumerate() override {
        std::vector<UsbDeviceEntry> entries;
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

    ViStatus open(const UsbDeviceEntry& device, std::unique_ptr<UsbConnection>& out) override {
        if (!context_) return VI_ERROR_RSRC_NFOUND;
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context_, &list);
        libusb_device_handle* handle = nullptr;
        ViStatus status = VI_ERROR_RSRC_NFOUND;
        for (ssize_t i = 0; i < count; ++i) {
            if (keyOf(list[i]) != device.key) continue;
            status = statusOf(libusb_open(list[i], &handle));
            break;
        }
        if (list) libusb_free_device_list(list, 1);
        if (status != VI_SUCCESS) return status;
        // Another program that claimed the interface holds the device.
        status = statusOf(libusb_claim_interface(handle, device.interface_number));
        if (status != VI_SUCCESS) {
            libusb_close(handle);
            return status;
        }
        out = std::make_unique<LibusbConnection>(handle, device.interface_number);
        return VI_SUCCESS;
    }

    kz71::Clock& clock() override { return *clock_; }

private:
    libusb_context* context_ = nullptr;
    std::shared_ptr<kz71::Clock> clock_ = kz71::steadyClock();
};

} // namespace

std::unique_ptr<UsbBackend> makeLibusbBackend() {
    return std::make_unique<LibusbBackend>();
}

} // namespace visa_detail
