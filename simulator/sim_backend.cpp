#include "simulator/sim_backend.h"

#include "simulator/simulator.h"

#include <chrono>
#include <map>

namespace sim {

namespace {

ViStatus statusOf(const TransferResult& result, std::uint32_t timeout_ms) {
    switch (result.status) {
    case TransferStatus::ok:
        return VI_SUCCESS;
    case TransferStatus::stalled:
        return VI_ERROR_IO;
    case TransferStatus::timed_out:
        simulator().clock().sleep(std::chrono::milliseconds(timeout_ms));
        return VI_ERROR_TMO;
    case TransferStatus::no_device:
        break;
    }
    return VI_ERROR_CONN_LOST;
}

class SimulatorBackend final : public protocol::UsbBackend {
public:
    std::vector<protocol::UsbDeviceEntry> find() override {
        std::vector<protocol::UsbDeviceEntry> entries;
        for (const DeviceInfo& device : simulator().devices())
            entries.push_back({device.vendor, device.model, device.serial, 0, device.id});
        return entries;
    }

    ViStatus open(const protocol::UsbDeviceEntry& device, protocol::UsbHandle& handle) override {
        const auto id = static_cast<std::uint32_t>(device.key);
        switch (simulator().open(id)) {
        case OpenResult::ok:
            handle = ++last_handle_;
            devices_[handle] = id;
            return VI_SUCCESS;
        case OpenResult::busy:
            return VI_ERROR_RSRC_BUSY;
        case OpenResult::not_present:
            break;
        }
        return VI_ERROR_RSRC_NFOUND;
    }

    ViStatus close(protocol::UsbHandle handle) override {
        if (devices_.erase(handle) == 0) return VI_ERROR_INV_OBJECT;
        return simulator().close() ? VI_SUCCESS : VI_ERROR_IO;
    }

    ViStatus controlOut(protocol::UsbHandle handle, const wire::ControlSetup& setup,
                        std::span<const std::uint8_t> data, std::uint32_t timeout_ms) override {
        return statusOf(simulator().control(deviceOf(handle), setup, data, {}), timeout_ms);
    }

    ViStatus controlIn(protocol::UsbHandle handle, const wire::ControlSetup& setup,
                       std::span<std::uint8_t> data, std::uint16_t& received,
                       std::uint32_t timeout_ms) override {
        const TransferResult result = simulator().control(deviceOf(handle), setup, {}, data);
        received = static_cast<std::uint16_t>(result.received);
        return statusOf(result, timeout_ms);
    }

    kz71::Clock& clock() override { return simulator().clock(); }

private:
    // The simulator's id of the device behind `handle`; 0, which no device has, when unknown.
    std::uint32_t deviceOf(protocol::UsbHandle handle) const {
        const auto found = devices_.find(handle);
        return found == devices_.end() ? 0 : found->second;
    }

    std::map<protocol::UsbHandle, std::uint32_t> devices_;
    protocol::UsbHandle last_handle_ = 0;
};

} // namespace

std::unique_ptr<protocol::UsbBackend> makeSimulatorBackend() {
    return std::make_unique<SimulatorBackend>();
}

} // namespace sim
