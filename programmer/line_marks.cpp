#include "programmer/line_marks.h"

#include <algorithm>

namespace programmer {

namespace {

LineColour shown(bool breakpoint, bool highlighted) {
    const LineColour base = breakpoint ? colour_breakpoint : colour_default;
    return highlighted ? (base & colour_current_line) : base;
}

void repaintHexLine(DebuggerView& view, const LineMarks& marks, int line) {
    if (line >= 0) view.setHexLineColour(line, hexLineColour(marks, line));
}

void repaintListingLine(DebuggerView& view, const LineMarks& marks, int tab, int line) {
    if (tab >= 0 && line >= 0)
        view.setListingLineColour(tab, line, listingLineColour(marks, tab, line));
}

void removeListingHighlight(DebuggerView& view, LineMarks& marks) {
    const int tab = marks.listingHighlightTab;
    const int line = marks.listingHighlightLine;
    marks.listingHighlightTab = marks.listingHighlightLine = -1;
    repaintListingLine(view, marks, tab, line);
}

void removeHexHighlight(DebuggerView& view, LineMarks& marks) {
    const int line = marks.hexHighlight;
    marks.hexHighlight = -1;
    repaintHexLine(view, marks, line);
}

} // namespace

LineColour hexLineColour(const LineMarks& marks, int line) {
    return shown(marks.hexBreakpointLines.count(line) != 0, marks.hexHighlight == line);
}

LineColour listingLineColour(const LineMarks& marks, int tab, int line) {
    return shown(hasListingBreakpoint(marks, tab, line),
                 marks.listingHighlightTab == tab && marks.listingHighlightLine == line);
}

void setHexBreakpointLine(DebuggerView& view, LineMarks& marks, int line, bool set) {
    if (line < 0) return;
    const auto it = marks.hexBreakpointLines.find(line);
    if (set)
        marks.hexBreakpointLines.insert(line);
    else if (it != marks.hexBreakpointLines.end())
        marks.hexBreakpointLines.erase(it);
    repaintHexLine(view, marks, line);
}

void setListingBreakpoint(DebuggerView& view, LineMarks& marks, int tab, int line, bool set) {
    if (tab < 0 || line < 0) return;
    if (set)
        marks.listingBreakpoints.insert({tab, line});
    else
        marks.listingBreakpoints.erase({tab, line});
    view.setBreakpointMark(tab, line, set);
    repaintListingLine(view, marks, tab, line);
}

bool hasListingBreakpoint(const LineMarks& marks, int tab, int line) {
    return marks.listingBreakpoints.count({tab, line}) != 0;
}

void showAddressInHexView(DebuggerView& view, LineMarks& marks, const AddressAssignmentTable& table,
                          std::int32_t address) {
    removeHexHighlight(view, marks);
    // Line 0 is the file's first header line: no byte lies there.
    const int line = table.at(address).hexLine;
    if (line <= 0) return;
    marks.hexHighlight = line;
    repaintHexLine(view, marks, line);
    view.selectHexLine(line);
}

void showAddressInSource(DebuggerView& view, LineMarks& marks, const AddressAssignmentTable& table,
                         std::span<const ListingFile> listings, std::int32_t address) {
    const AddressEntry& entry = table.at(address);
    const int tab = entry.hasStatement() ? listingTabOf(listings, entry.fileName) : -1;
    if (tab >= 0) view.activateListingTab(tab);
    removeListingHighlight(view, marks);
    if (tab < 0) return;
    marks.listingHighlightTab = tab;
    marks.listingHighlightLine = entry.line - 1;
    repaintListingLine(view, marks, tab, entry.line - 1);
    view.selectListingLine(tab, entry.line - 1);
    view.showListingName(listings[static_cast<std::size_t>(tab)].path);
}

void clearCurrentLineMarks(DebuggerView& view, LineMarks& marks) {
    removeHexHighlight(view, marks);
    removeListingHighlight(view, marks);
}

int listingTabOf(std::span<const ListingFile> listings, std::string_view fileName) {
    const auto it = std::find_if(listings.begin(), listings.end(),
                                 [&](const ListingFile& f) { return f.name == fileName; });
    return it == listings.end() ? -1 : static_cast<int>(it - listings.begin());
}

} // namespace programmer
