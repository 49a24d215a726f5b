#include "simulator/loader_device.h"

#include "protocol/command_codes.h"

#include <algorithm>

namespace sim {

std::uint16_t LoaderDevice::model() const {
    return wire::loader_model;
}

TransferResult LoaderDevice::control(const ControlSetup& setup, std::span<const std::uint8_t> out,
                                     std::span<std::uint8_t> in, Time) {
    if (setup.request != wire::loader_write_request || setup.index != 0) return stalled();
    const std::size_t address = setup.value;
    if (setup.requestType == wire::vendor_in) {
        if (address + in.size() > memory_size) return stalled();
        return reply(in, std::span(memory_).subspan(address, in.size()));
    }
    if (setup.requestType != wire::vendor_out || address + out.size() > memory_size)
        return stalled();
    std::copy(out.begin(), out.end(), memory_.begin() + static_cast<std::ptrdiff_t>(address));
    const std::size_t control = wire::loader_cpu_control;
    if (address <= control && control < address + out.size()) {
        const bool held = (out[control - address] & 0x01) != 0;
        // With nothing loaded there is no firmware to start.
        if (!held && bytes_loaded_ > 0) started_ = true;
        bytes_loaded_ += out.size() - 1;
    } else {
        bytes_loaded_ += out.size();
    }
    return {};
}

} // namespace sim
