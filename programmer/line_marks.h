// The colours and marks the debugger puts on the listing and hex view lines: the breakpoint
// lines, and the current line highlighted in both views. The core keeps what it painted, so a
// highlight that moves on gives a line back exactly the colour it should have.
#pragma once

#include "programmer/address_table.h"
#include "programmer/debugger_view.h"

#include <set>
#include <span>
#include <utility>

namespace programmer {

struct LineMarks {
    // Hex view lines in the breakpoint colour, once for each breakpoint that coloured them (two
    // statements in one program word share a line).
    std::multiset<int> hexBreakpointLines;
    // Listing lines (tab, editor line) with a breakpoint: the margin mark and the colour.
    std::set<std::pair<int, int>> listingBreakpoints;
    // The highlighted current line of each view; -1 when none.
    int hexHighlight = -1;
    int listingHighlightTab = -1;
    int listingHighlightLine = -1;
};

// The colour a line shows: the breakpoint colour or the default, AND the current-line colour
// while it is highlighted.
LineColour hexLineColour(const LineMarks& marks, int line);
LineColour listingLineColour(const LineMarks& marks, int tab, int line);

// Adds or removes one breakpoint's colour on a hex view line.
void setHexBreakpointLine(DebuggerView& view, LineMarks& marks, int line, bool set);
// Sets or clears a listing line's breakpoint: its margin mark and its colour.
void setListingBreakpoint(DebuggerView& view, LineMarks& marks, int tab, int line, bool set);
bool hasListingBreakpoint(const LineMarks& marks, int tab, int line);

// Moves the hex view's highlight to the line of `address` (none when no line holds it).
void showAddressInHexView(DebuggerView& view, LineMarks& marks, const AddressAssignmentTable& table,
                          std::int32_t address);
// Activates the listing tab of the address's source file and moves the highlight to its line,
// naming the file in the listing name. An address where no statement starts, or whose file has
// no tab, only removes the old highlight.
void showAddressInSource(DebuggerView& view, LineMarks& marks, const AddressAssignmentTable& table,
                         std::span<const ListingFile> listings, std::int32_t address);
// Removes the highlight from both views and forgets it.
void clearCurrentLineMarks(DebuggerView& view, LineMarks& marks);

// The tab showing `fileName`, or -1.
int listingTabOf(std::span<const ListingFile> listings, std::string_view fileName);

} // namespace programmer
