#include "simulator/board.h"

namespace sim {

void Board::powerReset() {
    chip.powerReset();
    loadProgramStore();
}

void Board::initReset() {
    chip.initReset();
    loadProgramStore();
}

void Board::loadProgramStore() {
    if (chip.otp().holdsProgram()) {
        chip.loadProgram(chip.otp().cells());
    } else {
        chip.loadProgram(spi_eeprom.contents());
    }
}

bool Board::chipReachable(ChipInterface selected, std::uint16_t iic_address) const {
    if (switch_ == BoardSwitch::spi && selected != ChipInterface::spi) return false;
    if (switch_ == BoardSwitch::iic && selected != ChipInterface::iic) return false;
    return selected == ChipInterface::spi || iic_address == chip_iic_address_;
}

} // namespace sim
