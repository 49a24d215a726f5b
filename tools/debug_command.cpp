#include "debug_command.h"

#include "programmer/breakpoints.h"
#include "programmer/download_frame.h"
#include "programmer/session.h"
#include "programmer/silent_view.h"

#include <filesystem>
#include <ostream>

namespace kz71prog {

namespace {

using namespace programmer;
namespace fs = std::filesystem;

constexpr std::uint32_t max_steps = 1'000'000'000;
constexpr std::uint32_t max_line = 0x7FFFFFFF;

// What kz71prog keeps of the Debugger page: the RAM cells, which --ram prints. Lines, marks and
// the register display are told by the STOP lines instead.
class ConsoleDebuggerView final : public SilentDebuggerView {
public:
    void setRamCell(int address, std::string_view text) override {
        if (address >= 0 && address < RamWindow::cell_count)
            cells_[static_cast<std::size_t>(address)] = text;
    }

    const std::string& cell(int address) const { return cells_[static_cast<std::size_t>(address)]; }

private:
    std::array<std::string, RamWindow::cell_count> cells_;
};

enum class ActionKind : std::uint8_t { toggleBreak, step, run, runTo, newCycle, reset, ram };

struct Action {
    ActionKind kind = ActionKind::run;
    std::string file; // --break and --run-to: as given, then the tab that shows it
    int tab = -1;
    std::int32_t line = 0;
    int count = 0; // --step
};

// "FILE:LINE", split at the last colon.
bool parseLocation(const std::string& option, const std::string& value, Action& action,
                   std::string& error) {
    const std::size_t colon = value.rfind(':');
    const auto line = colon == std::string::npos
                          ? std::nullopt
                          : parseNumber(std::string_view(value).substr(colon + 1), max_line);
    if (colon == 0 || !line || *line == 0) {
        error = option + " needs FILE:LINE with a line number from 1, not '" + value + "'";
        return false;
    }
    action.file = value.substr(0, colon);
    action.line = static_cast<std::int32_t>(*line);
    return true;
}

std::optional<Action> parseAction(const std::string& option, const std::string& value,
                                  std::string& error) {
    static const std::pair<std::string_view, ActionKind> kinds[] = {
        {"--break", ActionKind::toggleBreak},
        {"--step", ActionKind::step},
        {"--run", ActionKind::run},
        {"--run-to", ActionKind::runTo},
        {"--new-cycle", ActionKind::newCycle},
        {"--reset", ActionKind::reset},
        {"--ram", ActionKind::ram}};
    Action action;
    for (const auto& [name, kind] : kinds)
        if (name == option) action.kind = kind;
    if (action.kind == ActionKind::toggleBreak || action.kind == ActionKind::runTo)
        return parseLocation(option, value, action, error) ? std::optional(action) : std::nullopt;
    if (action.kind != ActionKind::step) return action;
    const auto count = parseNumber(value, max_steps);
    if (!count || *count == 0) {
        error = "--step needs a number of steps from 1, not '" + value + "'";
        return std::nullopt;
    }
    action.count = static_cast<int>(*count);
    return action;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// The listing tab a FILE of the command line means: the file as the .dbg file names it, the
// same file by another path, or the only source file of that name.
int tabOf(const std::vector<ListingFile>& listings, const std::string& file) {
    for (std::size_t i = 0; i < listings.size(); ++i)
        if (listings[i].name == file || sameFile(listings[i].path, file))
            return static_cast<int>(i);
    int found = -1;
    for (std::size_t i = 0; i < listings.size(); ++i) {
        if (fs::path(listings[i].name).filename() != fs::path(file).filename()) continue;
        if (found >= 0) return -1; // ambiguous
        found = static_cast<int>(i);
    }
    return found;
}

bool resolveTabs(std::vector<Action>& actions, const Debugger& debugger, std::string& error) {
    const auto& listings = debugger.state.listingFiles;
    for (Action& action : actions) {
        if (action.file.empty()) continue;
        action.tab = tabOf(listings, action.file);
        if (action.tab >= 0) continue;
        std::string names;
        for (const ListingFile& listing : listings)
            names += (names.empty() ? "" : ", ") + listing.name;
        error = "'" + action.file + "' is not a source file of " + debugger.dbgFilePath + " (" +
                (names.empty() ? "it names none" : "its files: " + names) + ")";
        return false;
    }
    return true;
}

const char* stopWord(StopReason reason) {
    switch (reason) {
    case StopReason::step:
        return "step";
    case StopReason::breakpoint:
        return "breakpoint";
    case StopReason::cursor:
        return "cursor";
    case StopReason::end:
        return "end";
    case StopReason::timeout:
    case StopReason::failed:
        break;
    }
    return "timeout";
}

// The --ram table: every cell read afresh; reserved cells, which are never read, as dashes.
bool printRam(Debugger& debugger, const ConsoleDebuggerView& view, CommandContext& context) {
    if (!debugger.state.debugModeActive &&
        (openProgrammerForDebug(debugger.link) != 0 || !debugger.state.debugModeActive)) {
        leaveDebugMode(debugger);
        return false;
    }
    debugger.ram.fullRefresh = true;
    const bool read = readRamCells(debugger.link, debugger.view, debugger.ram);
    context.report.finish();
    std::ostream& out = context.out;
    for (int row = 0; row < RamWindow::cell_count; row += 16) {
        out << formatMessage("0x%02X:", static_cast<unsigned>(row));
        for (int a = row; a < row + 16; ++a)
            out << ' ' << (ramRegion(a) == RamRegion::reserved ? "--------" : view.cell(a));
        out << '\n';
    }
    out << std::flush;
    return read;
}

bool runStopping(const Debugger& debugger, const RunOutcome& outcome, CommandContext& context) {
    if (outcome.reason == StopReason::failed) return false;
    context.report.finish();
    context.out << stopLine(debugger, outcome) << '\n' << std::flush;
    return outcome.reason != StopReason::timeout;
}

// Carries out one action; false when it could not be (its popup or message says why).
bool runAction(Debugger& debugger, const ConsoleDebuggerView& view, const Action& action,
               CommandContext& context) {
    switch (action.kind) {
    case ActionKind::toggleBreak:
        return toggleBreakpointAtLine(debugger, action.tab, action.line) !=
               BreakpointToggle::refused;
    case ActionKind::step:
        return runStopping(debugger, singleStep(debugger, action.count), context);
    case ActionKind::run:
        return runStopping(debugger, runToBreakpoint(debugger), context);
    case ActionKind::runTo:
        return runStopping(debugger, runToCursor(debugger, action.tab, action.line), context);
    case ActionKind::newCycle:
        return newDebugCycle(debugger);
    case ActionKind::reset:
        return resetChip(debugger);
    case ActionKind::ram:
        return printRam(debugger, view, context);
    }
    return false;
}

// What the headless debugger acts on: the settings a script wants (registers read where a run
// stops, not after every step; the chip's program compared; every message told).
DebugSettings consoleSettings() {
    DebugSettings settings;
    settings.suppressDebugInfoRefreshing = true;
    return settings;
}

} // namespace

std::string stopLine(const Debugger& debugger, const RunOutcome& outcome) {
    const AddressEntry& entry = debugger.table.at(outcome.address);
    const RegisterValues& v = debugger.registers.values;
    const std::string where =
        entry.hasStatement() ? entry.fileName + ":" + std::to_string(entry.line) : "?:0";
    const auto flag = [&](std::uint8_t bit) { return (v.flags & bit) != 0 ? 1 : 0; };
    return formatMessage(
        "STOP %s %s address=0x%04X signum=%d notequal=%d overflow=%d carry=%d "
        "X=0x%06X Y=0x%06X Z=0x%06X HB0=0x%06X ram=0x%02X:0x%06X",
        stopWord(outcome.reason), where.c_str(), static_cast<unsigned>(outcome.address),
        flag(wire::flag_signum), flag(wire::flag_not_equal), flag(wire::flag_overflow),
        flag(wire::flag_carry), static_cast<unsigned>(v.x), static_cast<unsigned>(v.y),
        static_cast<unsigned>(v.z), static_cast<unsigned>(v.hb0),
        static_cast<unsigned>(v.ramAddress), static_cast<unsigned>(v.ramContent));
}

int debugProgram(CommandContext& context, const CommandArguments& arguments, std::string& error) {
    const std::string& hexFile = arguments.positional().at(0);
    const std::string dbgFile = fs::path(hexFile).replace_extension(".dbg").string();
    if (!readableInput(hexFile, error) || !readableInput(dbgFile, error)) return exit_usage;
    std::vector<Action> actions;
    for (const auto& [option, value] : arguments.options()) {
        const std::optional<Action> action = parseAction(option, value, error);
        if (!action) return exit_usage;
        actions.push_back(*action);
    }

    ConsoleDebuggerView view;
    Debugger debugger(context.link, view);
    debugger.settings = consoleSettings();
    debugger.hexFilePath = hexFile;
    debugger.dbgFilePath = dbgFile;
    loadDebugProgram(debugger);
    if (!resolveTabs(actions, debugger, error)) return exit_usage;

    bool carriedOut = true;
    for (const Action& action : actions)
        if (!(carriedOut = runAction(debugger, view, action, context))) break;
    if (debugger.state.debugModeActive) exitDebugMode(debugger);
    return carriedOut ? exit_success : exit_failed;
}

} // namespace kz71prog
