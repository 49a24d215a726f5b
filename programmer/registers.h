// The register display of the Debugger page: the flags and program address (register 0x47),
// the accumulators X, Y, Z, HB0 (0x14), the current RAM address (from the RAM pointer 0x4C) and
// the content of that cell, with the RAM cell shown before it.
#pragma once

#include "programmer/command_set.h"
#include "programmer/debugger_view.h"
#include "programmer/programmer_link.h"

#include <cstdint>
#include <string>

namespace programmer {

// The values of the last refresh.
struct RegisterValues {
    std::uint8_t flags = 0; // byte 0 of register 0x47: Signum, Not Equal, Overflow, Carry
    std::uint16_t programAddress = 0;
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t z = 0;
    std::uint32_t hb0 = 0;
    std::uint8_t ramAddress = 0;
    std::uint32_t ramContent = 0;
};

struct RegisterDisplay {
    RegisterValues values;
    // The RAM cell of the previous refresh, as it was shown; empty before the first refresh
    // after entering debug mode.
    std::uint8_t previousRamAddress = 0;
    std::string previousAddressText;
    std::string previousContentText;
};

// HB0 as a signed 24-bit number: "(5 d)", or "(-5 d)" with the magnitude when bit 23 is set.
std::string hb0DecimalText(std::uint32_t value);
// The texts of a display of `values` (the previous cell not included).
RegisterTexts registerTexts(const RegisterValues& values);

// Reads 0x47, X, Y, Z, HB0, the RAM pointer and the cell it points at (seven transfers) and shows
// them. When a read does not bring its three bytes nothing is shown (the display keeps what it
// showed; it would show zeros that the chip does not hold) and the failed read comes back in
// `failed`; false then.
bool refreshRegisterDisplay(ProgrammerLink& link, DebuggerView& view, RegisterDisplay& display,
                            Reply& failed);
// The display back to its defaults, and no previous RAM cell.
void resetRegisterDisplay(DebuggerView& view, RegisterDisplay& display);

} // namespace programmer
