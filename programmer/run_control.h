// The run commands of the Debugger page: Single Step, Run to Breakpoint, Run to Cursor, New Debug
// Cycle and Reset (Exit Debug Mode is exitDebugMode of debugger.h). Every run is a sequence of
// single steps, one control transfer each, until its stop condition holds or its time limit has
// passed.
//
// The page colours the pressed button (running colour 0xFA6776, back to 0x8DE992 however the
// command ends) around the call; the core marks the lines, fills the registers and the RAM
// window and shows the popups.
#pragma once

#include "programmer/debugger.h"

#include <chrono>
#include <cstdint>

namespace programmer {

enum class StopReason : std::uint8_t {
    step,       // a single step was made
    breakpoint, // the run reached an address with a breakpoint
    cursor,     // the run reached the cursor line
    end,        // the end of the program, or the program stopped moving
    timeout,    // the time limit passed (warning 217)
    failed,     // the command did not run, or a step or a register read failed (its popup says
                // why)
};

struct RunOutcome {
    StopReason reason = StopReason::failed;
    std::int32_t address = -1; // where the chip stands; -1 when unknown
};

// A run's time limit, counted from its first step: 50 s, or 650 s with "enlarge debug timeout".
constexpr std::chrono::seconds runTimeLimit(bool enlarged) {
    return std::chrono::seconds(enlarged ? 650 : 50);
}

// The end-of-program test: the chip stands on the image's last byte, or on the byte before it
// when that last byte is a `stop`, or on a final `stop` followed by the 0x00 that completes the
// last program word of an odd-sized program.
bool atEndOfProgram(const DownloadImage& image, std::int32_t address);

// Single Step, `count` times in a row (the page makes one): a step onto another address of the
// same source line steps once more, so a line is passed in one step. Stops early at the end of
// the program (info 218 and the blink of the hex view line of the image's last byte).
RunOutcome singleStep(Debugger& debugger, int count = 1);
// Run to Breakpoint: steps until an address with a breakpoint is reached or the program stops
// moving (shown as the end), or the time limit passes (warning 217). Refused while the
// end-of-program blink runs.
RunOutcome runToBreakpoint(Debugger& debugger);
// Run to Cursor, the cursor being source line `line` (from 1) of the file shown in `tab`: like
// Run to Breakpoint with that line as its target (breakpoints do not stop it), then the
// end-of-program test. Refused for a line where no statement starts (info 224).
RunOutcome runToCursor(Debugger& debugger, int tab, std::int32_t line);

// New Debug Cycle: debug mode left and entered afresh, every breakpoint cleared, power reset
// (warning 211 on failure) and init reset (warning 220). True when both resets were made.
bool newDebugCycle(Debugger& debugger);
// Reset ("SPI_SSN_RST"): the reset pulse, entering debug mode for it (and leaving it again) when
// it is not active. True when the pulse was sent.
bool resetChip(Debugger& debugger);

} // namespace programmer
