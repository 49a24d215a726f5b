// The chip's one-time-programmable program memory: 8 KB, every byte programmable once.
// Programming needs the programming voltage VPP switched on and settled, the OTP enabled and OTP
// programming enabled; reading needs the OTP enabled, the read set-up made and programming off.
// A 0xFF programmed at the read-protect address makes every later read deliver 0x00.
#pragma once

#include "simulator/faults.h"
#include "simulator/usb_device.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace sim {

class Otp {
public:
    static constexpr std::size_t size = 8192;
    static constexpr std::uint16_t read_protect_address = 0x1FCF;
    static constexpr Time vpp_settle_time = std::chrono::milliseconds(500);

    explicit Otp(const Faults& faults) : faults_(faults) {}

    void setVpp(bool on, Time now);
    void setEnabled(bool on);
    void setProgramming(bool on) { programming_ = on; }
    void setupRead() { read_setup_ = enabled_; }
    // Power loss: every switch off (VPP belongs to the programmer and stays as it is).
    void powerOff();

    // Programs one byte when every condition holds; returns whether it did. `address` < size.
    bool write(std::uint16_t address, std::uint8_t value, Time now);
    // The byte a read delivers: 0xFF when reading is not set up, 0x00 when read-protected.
    std::uint8_t read(std::uint16_t address) const;

    bool vppSettled(Time now) const {
        return vpp_on_since_ && now - *vpp_on_since_ >= vpp_settle_time;
    }
    bool readProtected() const {
        return programmed_[read_protect_address] && cells_[read_protect_address] == 0xFF;
    }
    bool holdsProgram() const { return std::ranges::find(programmed_, true) != programmed_.end(); }

    // The stored cells; a cell never programmed reads as 0x00 and is not marked programmed.
    const std::array<std::uint8_t, size>& cells() const { return cells_; }
    const std::array<bool, size>& programmed() const { return programmed_; }
    // Restores a stored state (state file).
    void restore(std::uint16_t address, std::optional<std::uint8_t> value);

private:
    const Faults& faults_;
    std::array<std::uint8_t, size> cells_{};
    std::array<bool, size> programmed_{};
    std::optional<Time> vpp_on_since_;
    bool enabled_ = false;
    bool programming_ = false;
    bool read_setup_ = false;
};

} // namespace sim
