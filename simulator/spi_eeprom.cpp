#include "simulator/spi_eeprom.h"

namespace sim {

SpiEeprom::SpiEeprom(const Faults& faults) : faults_(faults) {
    memory_.fill(0xFF); // a blank EEPROM reads as all ones
}

void SpiEeprom::select(Time now) {
    if (phase_ != Phase::deselected) deselect(now);
    selected_while_busy_ = busy(now);
    phase_ = Phase::instruction;
    page_has_data_ = false;
    page_loaded_.fill(false);
}

void SpiEeprom::deselect(Time now) {
    if (phase_ == Phase::complete) {
        write_enabled_ = instruction_ == instr_write_enable;
    } else if (phase_ == Phase::data && instruction_ == instr_write && page_has_data_) {
        commitPage(now);
    }
    phase_ = Phase::deselected;
}

std::uint8_t SpiEeprom::exchange(std::uint8_t mosi, Time now) {
    switch (phase_) {
    case Phase::deselected:
    case Phase::complete:
    case Phase::ignored:
        return 0xFF;
    case Phase::instruction:
        instruction_ = mosi;
        if (selected_while_busy_ && mosi != instr_read_status) {
            phase_ = Phase::ignored;
        } else if (mosi == instr_write_enable || mosi == instr_write_disable) {
            phase_ = Phase::complete;
        } else if (mosi == instr_read_status) {
            phase_ = Phase::status;
        } else if (mosi == instr_read || (mosi == instr_write && write_enabled_)) {
            phase_ = Phase::address_high;
        } else {
            phase_ = Phase::ignored;
        }
        return 0xFF;
    case Phase::address_high:
        address_ = static_cast<std::uint16_t>(mosi << 8);
        phase_ = Phase::address_low;
        return 0xFF;
    case Phase::address_low:
        address_ = static_cast<std::uint16_t>((address_ | mosi) % size);
        page_start_ = static_cast<std::uint16_t>(address_ - address_ % page_size);
        phase_ = Phase::data;
        return 0xFF;
    case Phase::data:
        break;
    case Phase::status:
        return status(now);
    }
    if (instruction_ == instr_read) {
        const std::uint8_t value = static_cast<std::uint8_t>(
            faults_.filterRead(Memory::spi_eeprom, address_, memory_[address_]));
        address_ = static_cast<std::uint16_t>((address_ + 1) % size);
        return value;
    }
    // Page write: the address wraps within the page, as the EEPROM's page latch does.
    const std::size_t offset = address_ % page_size;
    page_[offset] = mosi;
    page_loaded_[offset] = true;
    page_has_data_ = true;
    address_ = static_cast<std::uint16_t>(page_start_ + (offset + 1) % page_size);
    return 0xFF;
}

std::uint8_t SpiEeprom::status(Time now) const {
    // Bit 0: write in progress, bit 1: write enable latch.
    return static_cast<std::uint8_t>((busy(now) ? 0x01 : 0x00) | (write_enabled_ ? 0x02 : 0x00));
}

void SpiEeprom::commitPage(Time now) {
    for (std::size_t i = 0; i < page_size; ++i)
        if (page_loaded_[i]) memory_[page_start_ + i] = page_[i];
    write_enabled_ = false;
    busy_until_ = now + write_cycle;
}

} // namespace sim
