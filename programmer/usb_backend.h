// The seam between the VISA layer and what carries its transfers: real USB devices through
// libusb, or the in-process simulator.
#pragma once

#include "programmer/clock.h"
#include "programmer/command_codes.h"
#include "programmer/visa.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace visa_detail {

// A USB device as an enumeration shows it.
struct UsbDeviceEntry {
    std::uint16_t vendor = 0;
    std::uint16_t model = 0;
    std::string serial;
    std::uint16_t interface_number = 0;
    std::uint64_t key = 0; // the backend's own handle for the device
};

// An open device. Transfers return a VISA status.
class UsbConnection {
public:
    virtual ~UsbConnection() = default;
    virtual ViStatus controlOut(const wire::ControlSetup& request, const std::uint8_t* data,
                                ViUInt32 timeout_ms) = 0;
    virtual ViStatus controlIn(const wire::ControlSetup& request, std::uint8_t* data,
                               std::uint16_t& received, ViUInt32 timeout_ms) = 0;
};

class UsbBackend {
public:
    virtual ~UsbBackend() = default;
    // The devices a resource search may report (VISA's USB RAW class).
    virtual std::vector<UsbDeviceEntry> enumerate() = 0;
    virtual ViStatus open(const UsbDeviceEntry& device, std::unique_ptr<UsbConnection>& out) = 0;
    // The clock that open time-outs are measured on.
    virtual kz71::Clock& clock() = 0;
};

std::unique_ptr<UsbBackend> makeLibusbBackend();
std::unique_ptr<UsbBackend> makeSimulatorBackend();

} // namespace visa_detail
