// A USB backend whose devices and answers come from a fuzz input: which devices a search finds
// (with any serial number), whether an open works, and for every control transfer its VISA
// status, how many bytes came back and which. Every transfer costs a millisecond of the
// backend's virtual clock; a time-out costs the time-out.
//
// When the script has been used up the backend answers as `Exhausted` says: `succeed` (every
// transfer works, IN transfers bring zeros; for targets that fuzz files, not the bus) or `fail`
// (the device is gone: nothing found, every transfer VI_ERROR_CONN_LOST), which ends every
// sequence soon, however it loops.
#pragma once

#include "protocol/usb_backend.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace fuzz {

enum class Exhausted : std::uint8_t { succeed, fail };

// The bytes an input hands out, one by one; the script is shared by every backend made from it
// (a sequence opens several resource managers).
class Script {
public:
    explicit Script(std::span<const std::uint8_t> bytes, Exhausted whenEmpty)
        : bytes_(bytes), whenEmpty_(whenEmpty) {}

    bool empty() const { return at_ >= bytes_.size(); }
    Exhausted whenEmpty() const { return whenEmpty_; }
    std::uint8_t next() { return empty() ? 0 : bytes_[at_++]; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    Exhausted whenEmpty_;
};

// What the backend answered to one transfer.
struct Answer {
    bool in = false;           // device to host
    std::uint16_t command = 0; // wValue
    std::uint16_t index = 0;   // wIndex
    ViStatus status = VI_SUCCESS;
    std::vector<std::uint8_t> bytes; // what came back (IN)
};

class ScriptedBackend final : public protocol::UsbBackend {
public:
    ScriptedBackend(Script& script, kz71::Clock& clock, std::vector<Answer>* answers)
        : script_(script), clock_(clock), answers_(answers) {}

    std::vector<protocol::UsbDeviceEntry> find() override;
    ViStatus open(const protocol::UsbDeviceEntry& device, protocol::UsbHandle& handle) override;
    ViStatus close(protocol::UsbHandle handle) override;
    ViStatus controlOut(protocol::UsbHandle handle, const wire::ControlSetup& setup,
                        std::span<const std::uint8_t> data, std::uint32_t timeout_ms) override;
    ViStatus controlIn(protocol::UsbHandle handle, const wire::ControlSetup& setup,
                       std::span<std::uint8_t> data, std::uint16_t& received,
                       std::uint32_t timeout_ms) override;
    kz71::Clock& clock() override { return clock_; }

private:
    // The status of the next operation: mostly success, else one of the failures a real bus
    // gives (and a VISA warning, which counts as a failure too).
    ViStatus nextStatus(std::uint32_t timeout_ms);
    // The bytes of an IN transfer's reply; how many came.
    std::uint16_t reply(std::span<std::uint8_t> data);

    Script& script_;
    kz71::Clock& clock_;
    std::vector<Answer>* answers_;
    protocol::UsbHandle last_handle_ = 0;
};

// Registers the backend "fuzz", made on `script` and `clock`, and selects it for the resource
// managers opened from now on; every transfer's answer is added to `answers` when given.
void useScriptedBackend(Script& script, kz71::Clock& clock, std::vector<Answer>* answers = nullptr);

} // namespace fuzz
