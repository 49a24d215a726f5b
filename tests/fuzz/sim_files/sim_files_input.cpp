// Fuzz entry point: the files kz71sim reads, the assembler's .hex file it runs and the state
// file that keeps the simulated memories. One input is read as both. A state file that is
// accepted is written again and must read back to the same memories.
#include "fuzz_check.h"
#include "simulator/board.h"
#include "simulator/faults.h"
#include "simulator/hex_image.h"
#include "simulator/state_file.h"

#include <cstdlib>
#include <string_view>

namespace {

// The memories of a board nothing has written.
bool untouched(const sim::Board& board) {
    static const sim::Faults faults;
    static const sim::Board blank(faults, sim::BoardSwitch::follows_programmer, 0x20);
    return board.spi_eeprom.contents() == blank.spi_eeprom.contents() &&
           board.chip.otp().cells() == blank.chip.otp().cells() &&
           board.chip.otp().programmed() == blank.chip.otp().programmed() &&
           board.chip.userEeprom().cells() == blank.chip.userEeprom().cells();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    sim::HexError error;
    if (const auto image = sim::readHexText(text, error))
        FUZZ_CHECK(image->bytes.size() <= sim::hex_image_capacity);
    else
        FUZZ_CHECK(!error.message.empty());

    sim::Faults faults;
    sim::Board board(faults, sim::BoardSwitch::follows_programmer, 0x20);
    std::string problem;
    if (!sim::parseState(text, board, problem)) {
        FUZZ_CHECK(!problem.empty() && untouched(board));
        return 0;
    }
    const std::string written = sim::serializeState(board);
    sim::Board again(faults, sim::BoardSwitch::follows_programmer, 0x20);
    FUZZ_CHECK(sim::parseState(written, again, problem));
    FUZZ_CHECK(sim::serializeState(again) == written);
    return 0;
}
