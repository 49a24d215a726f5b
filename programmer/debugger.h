// The debugger core: everything the Debugger page (and kz71prog debug) works with, owned by the
// caller, and the debug mode of the chip: loading the program's address table and listings,
// entering and leaving debug mode, ending a debug session, one step with the program address it
// reaches, and the check that the chip holds the program being debugged.
//
// One Debugger serves one page for its whole life; it is the link's DebugModeControl, so the
// debugger's open of the programmer enters debug mode through it and every download ends its
// session. The run commands are in run_control.h, breakpoints in breakpoints.h, the registers
// in registers.h, the RAM window in ram_view.h; what the page shows is debugger_view.h.
//
// How the Debugger page drives it (every call on the user-interface thread):
// - refreshDebuggerPage: set hexFilePath, dbgFilePath and settings from the shell; when
//   state.debugPageReady is false: debugFileExists() ? loadDebugProgram() : show only the hint.
// - cbSingleStep, cbRunToBreakpoint, cbRunToCursor: singleStep(), runToBreakpoint(),
//   runToCursor(active tab, cursor line from 1), with the button in its running colour meanwhile.
// - cbNewDbgCycle, cbResetBtn, cbExitDbgMode: newDebugCycle(), resetChip(), exitDebugMode().
// - a double-click in a listing: toggleBreakpoint(tab, selection end line, column); a click in
//   the margin: toggleBreakpointAtLine(tab, line from 1). The clear-breakpoints picture:
//   clearAllBP().
// - cbTabDebEvent: show state.listingFiles[active tab].path in the listing name.
// - "Show RAM Content": if ramWindowMayOpen(), open the window, colour its cells by
//   ramCellLayout(), then ramWindowOpened(); "Refresh": refreshRamContent(); "Close": discard
//   the window, then ramWindowClosed().
// - the end of its blink timer: nothing to tell; blinkingHexLine() answers from the timer.
// - before a download, after a build, on reload and quit: endDebugSession() (the link's
//   DebugModeControl does it for downloads).
#pragma once

#include "programmer/address_table.h"
#include "programmer/command_set.h"
#include "programmer/debugger_view.h"
#include "programmer/download_image.h"
#include "programmer/line_marks.h"
#include "programmer/programmer_link.h"
#include "programmer/ram_view.h"
#include "programmer/registers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace programmer {

// The settings the debugger acts on (Tools -> Settings -> Environment).
struct DebugSettings {
    bool enlargeDebugTimeout = false;         // 600 s more for runs and the table
    bool suppressDebugBpMessages = false;     // no popup 224 for an invalid hold point
    bool suppressEofPopup = false;            // no popup 218 at the end of the program
    bool suppressDebugInfoRefreshing = false; // registers read once per run, not every step
    bool suppressProperFileDetection = false; // no comparison of the chip's program
};

struct DebugState {
    // The chip is in debug mode and the programmer session is held open for it.
    bool debugModeActive = false;
    // The program is loaded: address table, image and listing tabs. Cleared by endDebugSession,
    // so the page loads the program again (after a build or a download).
    bool debugPageReady = false;
    // The program address read by the last step; 0 after every reset of the chip.
    std::int32_t previousAddress = 0;
    // The source file of each listing tab, by tab index.
    std::vector<ListingFile> listingFiles;
    // A source file newer than the .dbg file has been told since the program was loaded.
    bool staleBuildTold = false;
    // The chip's program was compared with the image since debug mode was entered.
    bool chipChecked = false;
};

struct Debugger final : DebugModeControl {
    // Becomes the link's DebugModeControl (and leaves it again when destroyed).
    Debugger(ProgrammerLink& link, DebuggerView& view);
    ~Debugger() override;
    Debugger(const Debugger&) = delete;
    Debugger& operator=(const Debugger&) = delete;

    bool debugModeActive() const override { return state.debugModeActive; }
    int enterDebugMode() override;
    void endDebugSession() override;

    ProgrammerLink& link;
    DebuggerView& view;
    DebugSettings settings;
    std::string hexFilePath;
    std::string dbgFilePath;

    AddressAssignmentTable table;
    // The bytes of the .hex file being debugged, in the order a download programs them; its
    // lastIndex is -1 when none could be read. The end-of-program test and the comparison with
    // the chip's program use it.
    DownloadImage program;
    DebugState state;
    LineMarks marks;
    RegisterDisplay registers;
    RamWindow ram;
};

// The .dbg file at dbgFilePath exists (otherwise the page shows its hint instead of the views).
bool debugFileExists(const Debugger& debugger);

// Builds the address table from the .dbg and .hex files (popups 204 and 205 tell what failed;
// the program loads with what could be read), shows one listing tab per source file, the last
// one active, and tells once when a source file is newer than the .dbg file (info 229). All
// breakpoints and marks start cleared. Called as soon as the page has a program, so that
// breakpoints can be set before the first run.
void loadDebugProgram(Debugger& debugger);

// Enters debug mode on the open session: lamp and "RUNNING" on, enter debug mode (warning 213 on
// failure, 1), the reset pulse and 0.5 s. The program loads if it is not loaded yet; breakpoints
// set before stay. 0 = entered.
int enterDebugMode(Debugger& debugger);
// Leaves debug mode if it is active (leave debug mode, one more step), then closes the session
// without reports; lamp and "RUNNING" off.
void leaveDebugMode(Debugger& debugger);
// Exit Debug Mode: the blink stopped, the current-line marks cleared, debug mode left, the RAM
// window closed.
void exitDebugMode(Debugger& debugger);
// Exits debug mode if it is active and marks the program for loading again: called before every
// download, after every build, when the window is reloaded and on quit.
void endDebugSession(Debugger& debugger);

// One single step: the program address after it, or -1 after warning 216.
std::int32_t stepAndReadAddress(Debugger& debugger);

// Tells a read of the debugger that did not bring its bytes (warning 216 with VISA's reason, or
// how many bytes came). When the programmer has left the bus (VI_ERROR_CONN_LOST) debug mode
// ends there and the session is closed without a word to the programmer, so the next command
// opens afresh and works once it is plugged in again.
void debugReadFailed(Debugger& debugger, const Reply& reply);
// Reads and shows the register display; false, told by debugReadFailed, when a read failed.
bool refreshRegisters(Debugger& debugger);

// Whether the chip holds the program being debugged: its first 62 bytes (those the image has)
// read back and compared, with BGAP and EEPROM enable switched on for it and off again. Passes
// at once when the setting suppresses it or the image holds fewer than 60 bytes. On failure
// debug mode is left.
bool chipHoldsProgram(Debugger& debugger);

// The path a source file named in the .dbg file is read from: an absolute name as it stands, a
// relative one beside the .dbg file when it is there, else as given.
std::string sourcePathOf(const std::string& dbgFilePath, const std::string& fileName);

// Tells (info 229, once until the program is loaded again) when a listing's source file is newer
// than the .dbg file: the lines highlighted would not match the program.
void tellIfBuildIsStale(Debugger& debugger);

} // namespace programmer
