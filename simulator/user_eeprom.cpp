#include "simulator/user_eeprom.h"

namespace sim {

bool UserEeprom::erase(Time now) {
    if (!ready(now)) return false;
    cells_.fill(0x00);
    busy_until_ = now + erase_time;
    return true;
}

bool UserEeprom::write(std::size_t cell, std::uint8_t value, Time now) {
    if (cell >= size || !ready(now)) return false;
    cells_[cell] = value;
    busy_until_ = now + write_time;
    return true;
}

} // namespace sim
