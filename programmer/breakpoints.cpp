#include "programmer/breakpoints.h"

#include <vector>

namespace programmer {

BreakpointToggle toggleBreakpoint(Debugger& d, int tab, int endLine, int endColumn) {
    if (endColumn != 0) return BreakpointToggle::unchanged;
    return toggleBreakpointAtLine(d, tab, endLine);
}

BreakpointToggle toggleBreakpointAtLine(Debugger& d, int tab, std::int32_t line) {
    const auto& listings = d.state.listingFiles;
    if (tab < 0 || tab >= static_cast<int>(listings.size())) return BreakpointToggle::unchanged;
    const std::string& file = listings[static_cast<std::size_t>(tab)].name;
    if (hasListingBreakpoint(d.marks, tab, line - 1)) {
        setListingBreakpoint(d.view, d.marks, tab, line - 1, false);
        setBreakpointAtLine(d, line, file, 0);
        return BreakpointToggle::cleared;
    }
    if (!isValidHoldPoint(d.table, line, file, d.link.report, d.settings.suppressDebugBpMessages))
        return BreakpointToggle::refused;
    setListingBreakpoint(d.view, d.marks, tab, line - 1, true);
    setBreakpointAtLine(d, line, file, 1);
    return BreakpointToggle::set;
}

void setBreakpointAtLine(Debugger& d, std::int32_t line, std::string_view fileName,
                         std::int32_t flag) {
    const std::vector<std::int32_t> addresses = addressesOnLine(d.table, line, fileName);
    for (const std::int32_t address : addresses)
        d.table[address].bpFlag = flag;
    if (addresses.empty()) return;
    const int hexLine = d.table.at(addresses.front()).hexLine;
    if (hexLine > 0) setHexBreakpointLine(d.view, d.marks, hexLine, flag != 0);
}

void clearAllBP(Debugger& d) {
    for (AddressEntry& entry : d.table.entries)
        entry.bpFlag = 0;
    const auto listingMarks = d.marks.listingBreakpoints;
    for (const auto& [tab, line] : listingMarks)
        setListingBreakpoint(d.view, d.marks, tab, line, false);
    const auto hexLines = d.marks.hexBreakpointLines;
    for (const int line : hexLines)
        setHexBreakpointLine(d.view, d.marks, line, false);
}

} // namespace programmer
