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
    write(address, out);
    return {};
}

void LoaderDevice::write(std::size_t address, std::span<const std::uint8_t> data) {
    std::copy(data.begin(), data.end(), memory_.begin() + static_cast<std::ptrdiff_t>(address));
    const std::size_t control = wire::loader_cpu_control;
    for (std::size_t a = address; a < address + data.size(); ++a) {
        if (a == control) continue;
        written_.set(a);
        ++bytes_loaded_;
    }
    const bool writes_control = address <= control && control < address + data.size();
    if (writes_control && (data[control - address] & 0x01) == 0) startCpu();
}

void LoaderDevice::startCpu() {
    if (started_) return;
    const std::span<const std::uint8_t, memory_size> memory(memory_.data(), memory_size);
    if (const auto problem = firmwareProblem(memory, written_)) {
        problem_ = "the loader refused to start the firmware: " + *problem;
        ++refused_starts_;
        return;
    }
    started_ = true;
}

} // namespace sim
