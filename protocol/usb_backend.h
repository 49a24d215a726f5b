// The seam between the VISA-shaped layer and what carries its transfers: a struct of operations
// (find the devices, open one, close it, control out, control in) that each backend fills in.
// The libusb backend reaches real devices; the simulator's adapter reaches the simulated bus.
#pragma once

#include "protocol/clock.h"
#include "protocol/command_codes.h"
#include "protocol/visa_status.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace protocol {

// A USB device as a search shows it (VISA's USB RAW class: a vendor-specific interface).
struct UsbDeviceEntry {
    std::uint16_t vendor = 0;
    std::uint16_t model = 0;
    std::string serial;
    std::uint16_t interface_number = 0;
    std::uint64_t key = 0; // the backend's own name for the device
};

// An open device, as its backend numbers it.
using UsbHandle = std::uint64_t;

// Every operation returns a VISA status. A backend is used by one thread at a time.
class UsbBackend {
public:
    virtual ~UsbBackend() = default;

    // Whether the backend could start (its library, its access to the bus); a resource manager
    // on a backend that could not start fails with this status.
    virtual ViStatus startStatus() const { return VI_SUCCESS; }
    // The devices a resource search may report.
    virtual std::vector<UsbDeviceEntry> find() = 0;
    // Opens `device` (from find) into `handle`.
    virtual ViStatus open(const UsbDeviceEntry& device, UsbHandle& handle) = 0;
    // Releases `handle`, which is invalid afterwards whatever the result.
    virtual ViStatus close(UsbHandle handle) = 0;
    // A control transfer from host to device; `data` holds the setup's wLength bytes.
    virtual ViStatus controlOut(UsbHandle handle, const wire::ControlSetup& setup,
                                std::span<const std::uint8_t> data, std::uint32_t timeout_ms) = 0;
    // A control transfer from device to host into `data` (the setup's wLength bytes);
    // `received` counts the bytes the device sent.
    virtual ViStatus controlIn(UsbHandle handle, const wire::ControlSetup& setup,
                               std::span<std::uint8_t> data, std::uint16_t& received,
                               std::uint32_t timeout_ms) = 0;
    // The clock that time-outs and waits are measured on.
    virtual kz71::Clock& clock() = 0;
};

} // namespace protocol
