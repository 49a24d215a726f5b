// The SPI EEPROM beside the chip: 8 KB with the common one-byte instruction set (write enable,
// write disable, read status, write, read; 16-bit addresses, high byte first), 32-byte pages, and
// a write cycle after each page write during which it is busy and ignores the bus.
#pragma once

#include "simulator/faults.h"
#include "simulator/usb_device.h"

#include <array>
#include <chrono>
#include <cstdint>

namespace sim {

class SpiEeprom {
public:
    static constexpr std::size_t size = 8192;
    static constexpr std::size_t page_size = 32;
    static constexpr Time write_cycle = std::chrono::milliseconds(5);

    static constexpr std::uint8_t instr_write_status = 0x01;
    static constexpr std::uint8_t instr_write = 0x02;
    static constexpr std::uint8_t instr_read = 0x03;
    static constexpr std::uint8_t instr_write_disable = 0x04;
    static constexpr std::uint8_t instr_read_status = 0x05;
    static constexpr std::uint8_t instr_write_enable = 0x06;

    explicit SpiEeprom(const Faults& faults);

    // Chip select: a falling edge starts an instruction, a rising edge ends it (and starts the
    // write cycle of a page write). Selecting while selected ends the running instruction first.
    void select(Time now);
    void deselect(Time now);
    // One byte clocked over the bus: `mosi` goes in, the returned byte comes out (0xFF where the
    // EEPROM does not drive the line).
    std::uint8_t exchange(std::uint8_t mosi, Time now);

    bool busy(Time now) const { return now < busy_until_; }

    std::array<std::uint8_t, size>& contents() { return memory_; }
    const std::array<std::uint8_t, size>& contents() const { return memory_; }

private:
    enum class Phase : std::uint8_t {
        deselected,
        instruction,
        address_high,
        address_low,
        data,
        complete, // write enable or disable, taking effect at the rising edge
        status,
        ignored, // busy, an unknown instruction, or a write without write enable
    };

    std::uint8_t status(Time now) const;
    void commitPage(Time now);

    const Faults& faults_;
    std::array<std::uint8_t, size> memory_;
    Phase phase_ = Phase::deselected;
    std::uint8_t instruction_ = 0;
    std::uint16_t address_ = 0;
    bool write_enabled_ = false;
    bool selected_while_busy_ = false;
    Time busy_until_{0};
    // Bytes latched by a page write, programmed when the chip select rises.
    std::array<std::uint8_t, page_size> page_{};
    std::array<bool, page_size> page_loaded_{};
    std::uint16_t page_start_ = 0;
    bool page_has_data_ = false;
};

} // namespace sim
