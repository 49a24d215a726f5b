// The VISA layer's simulator backend: the devices of the process-wide simulator.
#include "programmer/usb_backend.h"
#include "simulator/simulator.h"

#include <chrono>

namespace visa_detail {

namespace {

class SimulatorConnection final : public UsbConnection {
public:
    explicit SimulatorConnection(std::uint32_t device) : device_(device) {}
    ~SimulatorConnection() override { sim::simulator().close(); }

    ViStatus controlOut(const wire::ControlSetup& request, const std::uint8_t* data,
                        ViUInt32 timeout_ms) override {
        const std::span<const std::uint8_t> out(data, data ? request.length : 0);
        return statusOf(transfer(request, out, {}), timeout_ms);
    }

    ViStatus controlIn(const wire::ControlSetup& request, std::uint8_t* data,
                       std::uint16_t& received, ViUInt32 timeout_ms) override {
        const std::span<std::uint8_t> in(data, data ? request.length : 0);
        const sim::TransferResult result = transfer(request, {}, in);
        received = static_cast<std::uint16_t>(result.received);
        return statusOf(result, timeout_ms);
    }

private:
    sim::TransferResult transfer(const wire::ControlSetup& request,
                                 std::span<const std::uint8_t> out, std::span<std::uint8_t> in) {
        return sim::simulator().control(device_, request, out, in);
    }

    static ViStatus statusOf(const sim::TransferResult& result, ViUInt32 timeout_ms) {
        switch (result.status) {
        case sim::TransferStatus::ok:
            return VI_SUCCESS;
        case sim::TransferStatus::stalled:
            return VI_ERROR_IO;
        case sim::TransferStatus::timed_out:
            sim::simulator().clock().sleep(std::chrono::milliseconds(timeout_ms));
            return VI_ERROR_TMO;
        case sim::TransferStatus::no_device:
            break;
        }
        return VI_ERROR_CONN_LOST;
    }

    std::uint32_t device_;
};

class SimulatorBackend final : public UsbBackend {
public:
    std::vector<UsbDeviceEntry> enumerate() override {
        std::vector<UsbDeviceEntry> entries;
        for (const sim::DeviceInfo& device : sim::simulator().devices())
            entries.push_back({device.vendor, device.model, device.serial, 0, device.id});
        return entries;
    }

    ViStatus open(const UsbDeviceEntry& device, std::unique_ptr<UsbConnection>& out) override {
        const auto id = static_cast<std::uint32_t>(device.key);
        switch (sim::simulator().open(id)) {
        case sim::OpenResult::ok:
            out = std::make_unique<SimulatorConnection>(id);
            return VI_SUCCESS;
        case sim::OpenResult::busy:
            return VI_ERROR_RSRC_BUSY;
        case sim::OpenResult::not_present:
            break;
        }
        return VI_ERROR_RSRC_NFOUND;
    }

    kz71::Clock& clock() override { return sim::simulator().clock(); }
};

} // namespace

std::unique_ptr<UsbBackend> makeSimulatorBackend() {
    return std::make_unique<SimulatorBackend>();
}

} // namespace visa_detail
