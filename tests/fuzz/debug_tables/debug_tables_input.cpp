// Fuzz entry point: the debugger's readers of the assembler's .dbg and .hex files. The input up
// to its first NUL byte is the .dbg file, the rest the .hex file (an input without a NUL byte is
// both). The program is loaded as the Debugger page loads it, the clk10khz check is made, and
// breakpoints are toggled on the lines the table names and cleared again.
#include "fuzz_check.h"
#include "memory_file.h"
#include "programmer/breakpoints.h"
#include "programmer/debugger.h"
#include "programmer/run_control.h"
#include "programmer/silent_view.h"
#include "quiet_report.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace programmer;

constexpr std::size_t max_toggled_lines = 4;

// Every entry names a line only with a file, and the program holds the .hex file's bytes.
void checkTable(const Debugger& d) {
    FUZZ_CHECK(d.program.lastIndex >= -1 &&
               d.program.lastIndex < static_cast<std::int32_t>(DownloadImage::code_size));
    for (const AddressEntry& entry : d.table.entries)
        FUZZ_CHECK(entry.line >= 0 && entry.hexLine >= 0 && entry.bpFlag == 0);
    FUZZ_CHECK(d.state.listingFiles.size() == sourceFiles(d.table).size());
}

// Sets and clears the breakpoints of the first statements' lines; none may stay behind.
void toggleBreakpoints(Debugger& d) {
    std::size_t toggled = 0;
    for (std::int32_t a = 0; a < AddressAssignmentTable::size && toggled < max_toggled_lines; ++a) {
        const AddressEntry& entry = d.table.at(a);
        if (!entry.hasStatement()) continue;
        const int tab = listingTabOf(d.state.listingFiles, entry.fileName);
        FUZZ_CHECK(tab >= 0);
        const std::int32_t line = entry.line;
        if (hasListingBreakpoint(d.marks, tab, line - 1)) continue; // a line of several statements
        FUZZ_CHECK(toggleBreakpointAtLine(d, tab, line) == BreakpointToggle::set);
        FUZZ_CHECK(d.table.at(a).bpFlag == 1);
        showAddressInSource(d.view, d.marks, d.table, d.state.listingFiles, a);
        showAddressInHexView(d.view, d.marks, d.table, a);
        ++toggled;
    }
    clearAllBP(d);
    clearCurrentLineMarks(d.view, d.marks);
    FUZZ_CHECK(d.marks.hexBreakpointLines.empty() && d.marks.listingBreakpoints.empty());
    FUZZ_CHECK(std::none_of(d.table.entries.begin(), d.table.entries.end(),
                            [](const AddressEntry& e) { return e.bpFlag != 0; }));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile dbg("debug_tables.dbg");
    static fuzz::MemoryFile hex("debug_tables.hex");
    const fuzz::InputParts parts = fuzz::splitAtNul({data, size});
    dbg.assign(parts.first);
    hex.assign(parts.second.empty() ? parts.first : parts.second);

    // One debugger for every input (its table is large); loading a program starts it afresh.
    static kz71::VirtualClock clock;
    static ProgrammerSession session;
    static fuzz::QuietReport report;
    static ProgrammerLink link{session, report, clock};
    static SilentDebuggerView view;
    static Debugger debugger(link, view);
    debugger.dbgFilePath = dbg.path();
    debugger.hexFilePath = hex.path();

    loadDebugProgram(debugger);
    checkTable(debugger);
    checkHexFileForClk10khz(link, debugger.hexFilePath);
    toggleBreakpoints(debugger);
    atEndOfProgram(debugger.program, debugger.program.lastIndex);
    return 0;
}
