// Loading the firmware into a programmer that has none yet: such a programmer shows up as the
// bare loader device (model 0x100A), which takes the firmware file's records as memory writes and
// starts the firmware when its CPU control byte is written. The IDE's watchdog timer calls this
// on every tick; it uses VISA sessions of its own.
#pragma once

#include "programmer/programmer_link.h"

#include <cstdint>
#include <string>

namespace programmer {

inline constexpr const char* loader_expression =
    "USB?*{(VI_ATTR_MANF_ID == 0x194E) && (VI_ATTR_MODEL_CODE == 0x100A)}";
// Relative to the working directory.
inline constexpr const char* firmware_file = "firmware/firmware.hex";

enum class FirmwareLoad : std::uint8_t {
    no_loader,    // no loader device on the bus: nothing done, nothing shown
    loader_busy,  // another program holds it: "ERROR" popup
    no_file,      // the firmware file is missing: silent
    damaged_file, // the file is not Intel HEX: "ERROR" popup, nothing written
    write_failed, // a write failed: "ERROR" popup, the load stopped (the start byte still sent)
    loaded,       // every record written and the firmware started
};

// One tick of the watchdog: finds the loader and writes the firmware file into it.
FirmwareLoad loadProgrammerFirmware(ProgrammerLink& link,
                                    const std::string& firmwarePath = firmware_file);

} // namespace programmer
