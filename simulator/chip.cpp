#include "simulator/chip.h"

#include <algorithm>

namespace sim {

namespace {
constexpr std::uint8_t flag_bits =
    wire::flag_signum | wire::flag_not_equal | wire::flag_overflow | wire::flag_carry;
} // namespace

std::uint32_t Chip::readRegister(std::uint8_t number) const {
    if (number == wire::reg_status) return (std::uint32_t{flags_} << 16) | pc_;
    return cells_[number];
}

void Chip::writeRegister(std::uint8_t number, std::uint32_t value) {
    value &= value_mask;
    if (number == wire::reg_status) {
        flags_ = static_cast<std::uint8_t>((value >> 16) & flag_bits);
        pc_ = static_cast<std::uint16_t>(value % program_size);
        return;
    }
    cells_[number] = value;
}

std::uint32_t Chip::accumulator(int number) const {
    switch (number & 3) {
    case 0:
        return cells_[wire::reg_accu_x];
    case 1:
        return cells_[wire::reg_accu_y];
    case 2:
        return cells_[wire::reg_accu_z];
    default:
        return readRegister(ramAddress());
    }
}

void Chip::powerReset() {
    cells_.fill(0);
    otp_.powerOff();
    user_eeprom_.powerOff();
    initReset();
}

void Chip::initReset() {
    pc_ = 0;
    flags_ = 0;
    return_stack_.fill(0);
    return_top_ = 0;
    for (std::uint8_t r :
         {wire::reg_accu_x, wire::reg_accu_y, wire::reg_accu_z, wire::reg_ram_pointer})
        cells_[r] = 0;
}

void Chip::loadProgram(std::span<const std::uint8_t> image) {
    program_.fill(0x00);
    std::copy_n(image.begin(), std::min(image.size(), program_.size()), program_.begin());
}

} // namespace sim
