#include "scripted_backend.h"

#include "programmer/backend_table.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <string>

namespace fuzz {

namespace {

constexpr std::array<ViStatus, 8> failures{
    VI_ERROR_IO,        VI_ERROR_TMO,   VI_ERROR_CONN_LOST,     VI_ERROR_RSRC_BUSY,
    VI_ERROR_INV_SETUP, VI_ERROR_ALLOC, VI_WARN_UNKNOWN_STATUS, VI_ERROR_SYSTEM_ERROR};

constexpr std::array<std::uint16_t, 3> kz71_models{wire::programmer_model,
                                                   wire::programmer_model_alt, wire::loader_model};

std::vector<protocol::UsbDeviceEntry> defaultDevices() {
    return {{wire::manufacturer_id, wire::programmer_model_alt, "FUZZ0001", 0, 1},
            {wire::manufacturer_id, wire::loader_model, "FUZZ0002", 0, 2}};
}

// Script* and Clock* of the registered backend; the maker reads them when a manager opens.
Script* current_script = nullptr;
kz71::Clock* current_clock = nullptr;
std::vector<Answer>* current_answers = nullptr;

} // namespace

std::vector<protocol::UsbDeviceEntry> ScriptedBackend::find() {
    if (script_.empty())
        return script_.whenEmpty() == Exhausted::succeed ? defaultDevices()
                                                         : std::vector<protocol::UsbDeviceEntry>{};
    std::vector<protocol::UsbDeviceEntry> devices;
    const int count = script_.next() % 4;
    for (int i = 0; i < count; ++i) {
        protocol::UsbDeviceEntry device;
        const std::uint8_t kind = script_.next();
        device.vendor = kind & 0x80
                            ? static_cast<std::uint16_t>(script_.next() << 8 | script_.next())
                            : wire::manufacturer_id;
        device.model = kz71_models[kind % kz71_models.size()];
        const int length = script_.next() % 24;
        for (int c = 0; c < length; ++c)
            device.serial.push_back(static_cast<char>(script_.next()));
        device.interface_number = kind & 0x40 ? script_.next() : 0;
        device.key = static_cast<std::uint64_t>(i) + 1;
        devices.push_back(std::move(device));
    }
    return devices;
}

ViStatus ScriptedBackend::nextStatus(std::uint32_t timeout_ms) {
    if (script_.empty())
        return script_.whenEmpty() == Exhausted::succeed ? VI_SUCCESS : VI_ERROR_CONN_LOST;
    const std::uint8_t choice = script_.next();
    if (choice < 0xC0) return VI_SUCCESS;
    const ViStatus status = failures[choice % failures.size()];
    if (status == VI_ERROR_TMO) clock_.sleep(std::chrono::milliseconds(timeout_ms));
    return status;
}

ViStatus ScriptedBackend::open(const protocol::UsbDeviceEntry&, protocol::UsbHandle& handle) {
    const ViStatus status = nextStatus(0);
    if (status < VI_SUCCESS) return status;
    handle = ++last_handle_;
    return status;
}

ViStatus ScriptedBackend::close(protocol::UsbHandle) {
    return script_.empty() ? VI_SUCCESS : nextStatus(0);
}

ViStatus ScriptedBackend::controlOut(protocol::UsbHandle, const wire::ControlSetup& setup,
                                     std::span<const std::uint8_t>, std::uint32_t timeout_ms) {
    clock_.spend(std::chrono::milliseconds(1));
    const ViStatus status = nextStatus(timeout_ms);
    if (answers_) answers_->push_back({false, setup.value, setup.index, status, {}});
    return status;
}

ViStatus ScriptedBackend::controlIn(protocol::UsbHandle, const wire::ControlSetup& setup,
                                    std::span<std::uint8_t> data, std::uint16_t& received,
                                    std::uint32_t timeout_ms) {
    clock_.spend(std::chrono::milliseconds(1));
    received = 0;
    const ViStatus status = nextStatus(timeout_ms);
    if (status >= VI_SUCCESS) received = reply(data);
    if (answers_)
        answers_->push_back({true, setup.value, setup.index, status,
                             std::vector<std::uint8_t>(data.begin(), data.begin() + received)});
    return status;
}

std::uint16_t ScriptedBackend::reply(std::span<std::uint8_t> data) {
    if (script_.empty()) {
        std::fill(data.begin(), data.end(), std::uint8_t{0});
        return static_cast<std::uint16_t>(data.size());
    }
    // Mostly a whole reply; sometimes a short one.
    const std::uint8_t shape = script_.next();
    const std::size_t count = shape < 0xE0 ? data.size() : shape % (data.size() + 1);
    for (std::size_t i = 0; i < count; ++i)
        data[i] = script_.next();
    return static_cast<std::uint16_t>(count);
}

void useScriptedBackend(Script& script, kz71::Clock& clock, std::vector<Answer>* answers) {
    current_script = &script;
    current_clock = &clock;
    current_answers = answers;
    static const bool registered = [] {
        programmer::registerBackend("fuzz", []() -> std::unique_ptr<protocol::UsbBackend> {
            return std::make_unique<ScriptedBackend>(*current_script, *current_clock,
                                                     current_answers);
        });
        std::string error;
        if (!programmer::selectBackend("fuzz", error)) std::abort();
        return true;
    }();
    (void)registered;
}

} // namespace fuzz
