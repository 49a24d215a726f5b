#include "assembler/user_eeprom.h"

#include "assembler/backend.h"

#include <algorithm>

std::array<uint8_t, user_eeprom_cells> eeprom_cells{};
std::array<bool, user_eeprom_cells> eeprom_used_cells{};

bool any_eeprom_cell_used() {
    return std::ranges::any_of(eeprom_used_cells, [](bool used) { return used; });
}

// The user EEPROM image is the back end's only state that outlives a phase.
void reset_backend() {
    eeprom_cells.fill(0);
    eeprom_used_cells.fill(false);
}
