// Breakpoints: toggled on a listing line (a double-click, or kz71prog's --break), cleared all at
// once, and kept alike in the address table's flags, the listing margins and the line colours
// of both views.
#pragma once

#include "programmer/debugger.h"

#include <cstdint>
#include <string_view>

namespace programmer {

enum class BreakpointToggle : std::uint8_t {
    set,
    cleared,
    refused,   // no statement starts on the line (info 224 unless suppressed)
    unchanged, // the double-click did not mean a line
};

// A double-click in the listing editor of `tab`, given the end of the editor's selection (line
// and column from 0, as a double-click that selects a whole line leaves it): with the column 0,
// the line meant is the one above, source line `endLine`; otherwise nothing changes.
BreakpointToggle toggleBreakpoint(Debugger& debugger, int tab, int endLine, int endColumn);
// Toggles the breakpoint of source line `line` (from 1) of the file shown in `tab`: a line with a
// breakpoint loses it; any other line gets one when a statement starts on it.
BreakpointToggle toggleBreakpointAtLine(Debugger& debugger, int tab, std::int32_t line);

// Sets (flag 1) or clears (flag 0) the table's breakpoint of every address whose statement stands
// on `line` of `fileName`, and colours the hex view line of the first of them.
void setBreakpointAtLine(Debugger& debugger, std::int32_t line, std::string_view fileName,
                         std::int32_t flag);

// Clears every breakpoint: the table's flags, the margin marks and the colours of listing and
// hex view lines (a highlighted current line keeps the current-line colour).
void clearAllBP(Debugger& debugger);

} // namespace programmer
