// The chip's 128-cell user EEPROM. Erasing (all cells 0x00) and writing a cell need the bandgap
// reference and the EEPROM enable switched on and take their time; while a cycle runs the
// EEPROM is busy and a further erase or write is lost.
#pragma once

#include "simulator/usb_device.h"

#include <array>
#include <chrono>
#include <cstdint>

namespace sim {

class UserEeprom {
public:
    static constexpr std::size_t size = 128;
    static constexpr Time erase_time = std::chrono::milliseconds(30);
    static constexpr Time write_time = std::chrono::milliseconds(40);

    void setBandgap(bool on) { bandgap_ = on; }
    void setEnabled(bool on) { enabled_ = on; }
    void powerOff() { bandgap_ = enabled_ = false; }
    bool bandgap() const { return bandgap_; }
    bool enabled() const { return enabled_; }
    bool busy(Time now) const { return now < busy_until_; }

    // Each returns whether the EEPROM took the command.
    bool erase(Time now);
    bool write(std::size_t cell, std::uint8_t value, Time now);
    // The chip's own access from a running program (no switches, no cycle time modelled).
    std::uint8_t cell(std::size_t index) const { return cells_[index % size]; }
    void programCell(std::size_t index, std::uint8_t value) { cells_[index % size] = value; }

    std::array<std::uint8_t, size>& cells() { return cells_; }
    const std::array<std::uint8_t, size>& cells() const { return cells_; }

private:
    bool ready(Time now) const { return bandgap_ && enabled_ && !busy(now); }

    std::array<std::uint8_t, size> cells_{};
    bool bandgap_ = false;
    bool enabled_ = false;
    Time busy_until_{0};
};

} // namespace sim
