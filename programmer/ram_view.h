// The "RAM Content" window: the chip's 256 register and RAM cells in a table of 32 rows and 16
// columns (address labels in the odd columns, values in the even ones), coloured by region, and
// the cache that keeps a refresh from rewriting cells whose value did not change.
#pragma once

#include "programmer/command_set.h"
#include "programmer/debugger_view.h"
#include "programmer/programmer_link.h"

#include <array>
#include <cstdint>

namespace programmer {

enum class RamRegion : std::uint8_t { user, config, system, reserved };

// 0x00-0x2F and 0x60-0xCF user RAM, 0x30-0x3F and 0x50-0x5B config RAM, 0xD0-0xFF system RAM,
// 0x40-0x4F and 0x5C-0x5F reserved (never read).
RamRegion ramRegion(int address);

// Where the value of a RAM address stands in the window's table (column and row from 1) and its
// background, 24-bit RGB (red in the high byte); even rows take the lighter tone of the region.
struct RamCellLayout {
    int column = 0;
    int row = 0;
    std::uint32_t background = 0;
};
RamCellLayout ramCellLayout(int address);

// The window's state in the core. The window exists only while debug mode is active.
struct RamWindow {
    static constexpr int cell_count = 256;
    bool open = false;
    // The next refresh rewrites every cell: set at start, on "Refresh" and at every opening.
    bool fullRefresh = true;
    std::array<std::array<std::uint8_t, 3>, cell_count> cache{};
};

// Reads every cell outside the reserved ranges (236 transfers) and writes the cells whose value
// changed, or all of them on a full refresh, as "0x" and 6 lower-case hex digits. A cell whose
// read did not bring its three bytes keeps what it showed. True when every read brought them;
// otherwise the first failed read comes back in `failed` when given.
bool readRamCells(ProgrammerLink& link, DebuggerView& view, RamWindow& window,
                  Reply* failed = nullptr);

// The window's commands, on the debugger's records.
struct Debugger;
// "Show RAM Content": false, with info 228, while debug mode is not active; the page opens the
// window only on true, colours its cells (ramCellLayout) and then calls ramWindowOpened.
bool ramWindowMayOpen(Debugger& debugger);
// The page has opened the window: a full refresh fills it.
void ramWindowOpened(Debugger& debugger);
// "Refresh": every cell read and rewritten.
void refreshRamContent(Debugger& debugger);
// "Close": the page has discarded the window; the next opening starts with a full refresh.
void ramWindowClosed(Debugger& debugger);
// Debug mode ends: the window is discarded.
void closeRamWindow(Debugger& debugger);
// Reads the cells into the window, entering debug mode for it when it is not active (and
// leaving it again afterwards). A failed read is told (debugReadFailed).
void refreshRamWindow(Debugger& debugger);
// After a step or a run: refreshRamWindow when the window is open.
void refreshRamWindowIfOpen(Debugger& debugger);

} // namespace programmer
