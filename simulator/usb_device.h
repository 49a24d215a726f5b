// What a simulated USB device sees of a control transfer, and what it answers.
#pragma once

#include "protocol/clock.h"
#include "protocol/command_codes.h"

#include <cstdint>
#include <span>

namespace sim {

using Time = kz71::Clock::Duration;

using ControlSetup = wire::ControlSetup;

// How a transfer ended on the bus.
enum class TransferStatus : std::uint8_t {
    ok,
    stalled,   // the device refused the request
    timed_out, // the device did not answer
    no_device, // the device is no longer on the bus
};

struct TransferResult {
    TransferStatus status = TransferStatus::ok;
    std::size_t received = 0; // bytes of an IN transfer's reply
};

inline TransferResult stalled() {
    return {TransferStatus::stalled, 0};
}

// A device on the simulated bus: answers control transfers made at time `now`.
// `out` holds the data stage of an OUT transfer; an IN transfer's reply goes to `in`, whose size
// is the setup's length.
class UsbDevice {
public:
    virtual ~UsbDevice() = default;
    virtual std::uint16_t model() const = 0;
    virtual TransferResult control(const ControlSetup& setup, std::span<const std::uint8_t> out,
                                   std::span<std::uint8_t> in, Time now) = 0;
};

// Copies a reply into an IN transfer's buffer, as much as the host asked for.
inline TransferResult reply(std::span<std::uint8_t> in, std::span<const std::uint8_t> bytes) {
    const std::size_t count = in.size() < bytes.size() ? in.size() : bytes.size();
    for (std::size_t i = 0; i < count; ++i)
        in[i] = bytes[i];
    return {TransferStatus::ok, count};
}
inline TransferResult reply(std::span<std::uint8_t> in, std::uint8_t byte) {
    return reply(in, std::span<const std::uint8_t>(&byte, 1));
}

} // namespace sim
