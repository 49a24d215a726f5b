// The user EEPROM image that usrEprInit statements define and the .epr file holds.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

inline constexpr int user_eeprom_cells = 128;

struct UserEeprom {
    // Byte value of each cell (0 unless defined) and whether a statement has defined it.
    std::array<uint8_t, user_eeprom_cells> eeprom_cells{};
    std::array<bool, user_eeprom_cells> eeprom_used_cells{};

    // True when at least one cell was defined.
    bool any_cell_used() const {
        return std::ranges::any_of(eeprom_used_cells, [](bool used) { return used; });
    }
};
