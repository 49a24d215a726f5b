#include "simulator/otp.h"

namespace sim {

void Otp::setVpp(bool on, Time now) {
    if (!on) {
        vpp_on_since_.reset();
    } else if (!vpp_on_since_) {
        vpp_on_since_ = now;
    }
}

void Otp::setEnabled(bool on) {
    enabled_ = on;
    if (!on) read_setup_ = false;
}

void Otp::powerOff() {
    enabled_ = false;
    programming_ = false;
    read_setup_ = false;
}

bool Otp::write(std::uint16_t address, std::uint8_t value, Time now) {
    if (address >= size || !enabled_ || !programming_ || !vppSettled(now)) return false;
    if (programmed_[address]) return false; // its fuses are spent
    cells_[address] = value;
    programmed_[address] = true;
    return true;
}

std::uint8_t Otp::read(std::uint16_t address) const {
    if (address >= size || !enabled_ || !read_setup_ || programming_) return 0xFF;
    if (readProtected()) return 0x00;
    return static_cast<std::uint8_t>(faults_.filterRead(Memory::otp, address, cells_[address]));
}

void Otp::restore(std::uint16_t address, std::optional<std::uint8_t> value) {
    if (address >= size) return;
    programmed_[address] = value.has_value();
    cells_[address] = value.value_or(0);
}

} // namespace sim
