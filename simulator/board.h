// The evaluation board behind the programmer: the chip, the SPI EEPROM beside it, and the switch
// that connects the chip to the programmer by SPI or by IIC.
#pragma once

#include "simulator/chip.h"
#include "simulator/spi_eeprom.h"

#include <cstdint>

namespace sim {

enum class ChipInterface : std::uint8_t { spi, iic };

// The board's interface switch. A simulated board has no hand to flip it, so by default it
// follows whatever the programmer selects; a test may pin it to show a wrong setting.
enum class BoardSwitch : std::uint8_t { follows_programmer, spi, iic };

class Board {
public:
    Board(const Faults& faults, BoardSwitch interface_switch, std::uint16_t chip_iic_address)
        : chip(faults), spi_eeprom(faults), switch_(interface_switch),
          chip_iic_address_(chip_iic_address) {}

    // The resets reload the program memory: from the OTP once it holds a program, otherwise
    // from the SPI EEPROM.
    void powerReset();
    void initReset();

    // Whether the chip answers the programmer over the selected interface.
    bool chipReachable(ChipInterface selected, std::uint16_t iic_address) const;

    Chip chip;
    SpiEeprom spi_eeprom;

private:
    void loadProgramStore();

    BoardSwitch switch_;
    std::uint16_t chip_iic_address_;
};

} // namespace sim
