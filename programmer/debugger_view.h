// What the debugger shows: the one interface between the debugger core and the Debugger page.
// The core decides every colour, mark, selection and text; the page only puts them on screen,
// so it implements these calls with its widgets and keeps no debugger state of its own.
// kz71prog implements it for the console, the tests by recording.
//
// The page's widgets, by role:
// - the listing tabs: one tab per source file of the program, each a read-only editor;
// - the listing name: a text showing the file of the active listing tab;
// - the hex view: a read-only editor showing the .hex file (the core names its lines from 0, as
//   the file's lines, header lines included);
// - the debug lamp and the "RUNNING" text;
// - the register display (lamps and texts) and the "RAM Content" window.
//
// Popups, messages, the busy cursor and the keep-alive while a run steps go through the
// ProgrammerReport of the link (the same one the Download page implements):
// - showErrorPopup / showWarningPopup / showInfoPopup with the codes of debug_messages.h;
// - setBusy(true) when a run command starts stepping, setBusy(false) when it ends;
// - progress(done, total) every few steps of a run: `done` is the time the run has taken and
//   `total` its time limit, both in milliseconds (for several single steps in a row: the steps
//   made and the steps asked for). The page processes pending events there
//   (repaints; user input stays blocked as during any long operation) and keeps it cheap: it is
//   called about every 16 steps, so it should do real work only when some 40 ms have passed.
//
// Every call below is made on the user-interface thread, from inside the core's operations.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace programmer {

// A line colour of the listing editors and the hex view: 0x00BBGGRR (blue in the high byte, red
// in the low byte), or -1 for the editor's own background.
using LineColour = std::int32_t;
inline constexpr LineColour colour_default = -1;
inline constexpr LineColour colour_breakpoint = 0x8080FF;
// The current line is shown in its own colour AND this (a breakpoint line keeps its colour).
inline constexpr LineColour colour_current_line = 0x80FFFF;
inline constexpr LineColour colour_white = 0xFFFFFF; // the blink's second colour

// One listing tab: the source file as the .dbg file names it (the tab's identity, shown in the
// listing name) and the path to load it from (resolved beside the .dbg file).
struct ListingFile {
    std::string name;
    std::string path;
};

// The register display, as texts. The lamps are on (on-colour 0x8DE992) when their flag is set.
struct RegisterTexts {
    bool signum = false;
    bool notEqual = false;
    bool overflow = false;
    bool carry = false;
    std::string lastAddress; // "last address:", "0x" and 4 hex digits
    std::string x, y, z;     // "0x" and 6 hex digits
    std::string hb0;         // "0x" and 6 hex digits
    std::string hb0Decimal;  // beside it: "(5 d)" or "(-5 d)"
    std::string ramAddress;  // "Current RAM address:", "0x" and 2 hex digits
    std::string ramContent;  // "Content at this address:", "0x" and 6 hex digits
    // When set, "Last address:" and "with content:" show these; otherwise they keep their texts.
    bool showPrevious = false;
    std::string previousRamAddress;
    std::string previousRamContent;
};

class DebuggerView {
public:
    virtual ~DebuggerView() = default;

    // --- Listing tabs. Tabs are numbered from 0 in the order given; lines from 0 (editor lines:
    // source line n is line n - 1).
    // Replaces every listing tab by one tab per file: each loads its file read-only, is labelled
    // with the file's name and extension and starts with no colours and no marks.
    virtual void showListingFiles(std::span<const ListingFile> files) = 0;
    // Makes the tab the active one (the core then names its file with showListingName).
    virtual void activateListingTab(int tab) = 0;
    // The listing name field.
    virtual void showListingName(std::string_view name) = 0;
    virtual void setListingLineColour(int tab, int line, LineColour colour) = 0;
    // Selects the whole line and scrolls it into view.
    virtual void selectListingLine(int tab, int line) = 0;
    // The breakpoint mark in the margin of the line.
    virtual void setBreakpointMark(int tab, int line, bool shown) = 0;

    // --- Hex view. Lines from 0, as the file's lines.
    virtual void setHexLineColour(int line, LineColour colour) = 0;
    // Selects the whole line and scrolls it into view.
    virtual void selectHexLine(int line) = 0;
    // The end-of-program blink, run by the page on a timer: the line in the current-line colour
    // (selected into view), then, 0.6 s apart, white, the current-line colour and white again;
    // then the line takes `after` and the blink is over. stopBlinkingHexLine ends it at once
    // (the line takes `after`); blinkingHexLine says whether it still runs. The core starts no
    // run to a breakpoint or to the cursor while it runs.
    virtual void startBlinkingHexLine(int line, LineColour after) = 0;
    virtual void stopBlinkingHexLine() = 0;
    virtual bool blinkingHexLine() const = 0;

    // --- Debug mode: the debug lamp (on-colour 0xFFB062, off-colour 0xC0C0C0) and "RUNNING".
    virtual void showDebugMode(bool active) = 0;

    // --- Register display.
    virtual void showRegisters(const RegisterTexts& texts) = 0;
    // The lamps off and every text back to its default ("--").
    virtual void resetRegisters() = 0;

    // --- "RAM Content" window (open while the core's RamWindow says so; see ram_view.h).
    // The value cell of RAM address 0 to 255 (ramCellLayout says where it is).
    virtual void setRamCell(int address, std::string_view text) = 0;
    // Discards the window (debug mode ended).
    virtual void closeRamWindow() = 0;
};

} // namespace programmer
