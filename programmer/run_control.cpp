#include "programmer/run_control.h"

#include "programmer/breakpoints.h"
#include "programmer/command_set.h"
#include "programmer/debug_messages.h"
#include "programmer/download_frame.h"
#include "programmer/session.h"

#include <string>

namespace programmer {

namespace {

constexpr std::uint8_t stop_code = 0xCD;
constexpr std::uint8_t fill_byte = 0x00; // completes the last word of an odd-sized program
// How often a run lets the page repaint.
constexpr int keep_alive_steps = 16;

// The popup of a run command that could not start: no debug mode, or not the program.
struct AbortPopup {
    int code;
    std::string_view noDebugMode;
    std::string_view wrongProgram;
};
constexpr AbortPopup step_abort{debug_message::step_aborted_code, debug_message::step_aborted,
                                debug_message::step_aborted};
constexpr AbortPopup run_abort{debug_message::run_aborted_code, debug_message::run_aborted_no_usb,
                               debug_message::run_aborted_wrong_file};

// The busy cursor for as long as a command steps.
class BusyWhileRunning {
public:
    explicit BusyWhileRunning(ProgrammerReport& report) : report_(report) { report_.setBusy(true); }
    ~BusyWhileRunning() { report_.setBusy(false); }
    BusyWhileRunning(const BusyWhileRunning&) = delete;
    BusyWhileRunning& operator=(const BusyWhileRunning&) = delete;

private:
    ProgrammerReport& report_;
};

// A run's time limit, from its first step, and the keep-alive that tells the page how far the
// run has got towards it.
class RunClock {
public:
    explicit RunClock(Debugger& d)
        : link_(d.link), start_(d.link.clock.now()),
          limit_(runTimeLimit(d.settings.enlargeDebugTimeout)) {}

    bool expired() const { return link_.clock.now() - start_ > limit_; }
    void keepAlive(int steps) {
        if (steps % keep_alive_steps != 0) return;
        using std::chrono::duration_cast;
        using std::chrono::milliseconds;
        link_.report.progress(
            static_cast<std::size_t>(
                duration_cast<milliseconds>(link_.clock.now() - start_).count()),
            static_cast<std::size_t>(duration_cast<milliseconds>(limit_).count()));
    }

private:
    ProgrammerLink& link_;
    kz71::Clock::Duration start_;
    std::chrono::seconds limit_;
};

// Common start of the three run commands: the clk10khz check, debug mode, the chip's program.
bool prepareToRun(Debugger& d, const AbortPopup& abort) {
    d.view.stopBlinkingHexLine();
    switch (checkHexFileForClk10khz(d.link, d.hexFilePath)) {
    case Clk10khzCheck::found:
        d.link.report.showWarningPopup(debug_message::clk10khz, debug_message::clk10khz_code);
        return false;
    case Clk10khzCheck::unreadable:
        return false;
    case Clk10khzCheck::notFound:
        break;
    }
    if (!d.state.debugModeActive &&
        (openProgrammerForDebug(d.link) != 0 || !d.state.debugModeActive)) {
        // A half-open session would make every later open return at once: close it.
        leaveDebugMode(d);
        d.link.report.showWarningPopup(abort.noDebugMode, abort.code);
        return false;
    }
    if (d.state.chipChecked) return true;
    if (!chipHoldsProgram(d)) {
        d.link.report.showWarningPopup(abort.wrongProgram, abort.code);
        return false;
    }
    d.state.chipChecked = true;
    return true;
}

bool onSameSourceLine(const AddressEntry& a, const AddressEntry& b) {
    return a.hasStatement() && a.line == b.line && a.fileName == b.fileName;
}

// One step, and one more when it only reached another address of the same source line.
std::int32_t stepOverLine(Debugger& d) {
    const std::int32_t previous = d.state.previousAddress;
    const std::int32_t a = stepAndReadAddress(d);
    if (a < 0 || a == previous || !onSameSourceLine(d.table.at(a), d.table.at(previous))) return a;
    return stepAndReadAddress(d);
}

void markCurrentLine(Debugger& d, std::int32_t address) {
    showAddressInSource(d.view, d.marks, d.table, d.state.listingFiles, address);
    showAddressInHexView(d.view, d.marks, d.table, address);
}

void showEndOfProgram(Debugger& d) {
    clearCurrentLineMarks(d.view, d.marks);
    const int line = d.table.at(d.program.lastIndex).hexLine;
    if (line > 0) d.view.startBlinkingHexLine(line, hexLineColour(d.marks, line));
    if (!d.settings.suppressEofPopup)
        d.link.report.showInfoPopup(debug_message::end_of_program,
                                    debug_message::end_of_program_code);
}

// Steps until `isTarget` holds for the address reached, the chip stops moving or the time limit
// passes. The registers are read after every step, or only where the run stopped when the
// setting suppresses that.
template <typename IsTarget>
RunOutcome runUntil(Debugger& d, IsTarget&& isTarget, StopReason targetReason) {
    BusyWhileRunning busy(d.link.report);
    RunClock clock(d);
    const bool refreshEveryStep = !d.settings.suppressDebugInfoRefreshing;
    for (int steps = 1;; ++steps) {
        const std::int32_t a = stepAndReadAddress(d);
        if (a < 0) return {};
        const bool stalled = a == d.state.previousAddress;
        d.state.previousAddress = a;
        if (refreshEveryStep && !refreshRegisters(d)) return {StopReason::failed, a};
        const bool reached = isTarget(d.table.at(a));
        if (reached || stalled) {
            markCurrentLine(d, a);
            if (!refreshEveryStep && !refreshRegisters(d)) return {StopReason::failed, a};
            refreshRamWindowIfOpen(d);
            return {reached ? targetReason : StopReason::end, a};
        }
        if (clock.expired()) {
            d.link.report.showWarningPopup(debug_message::run_timeout,
                                           debug_message::run_timeout_code);
            if (!refreshEveryStep && !refreshRegisters(d)) return {StopReason::failed, a};
            return {StopReason::timeout, a};
        }
        clock.keepAlive(steps);
    }
}

bool resetWithPopup(Debugger& d, ViStatus (*reset)(ProgrammerLink&), int code,
                    const char* message) {
    const ViStatus status = reset(d.link);
    if (status == VI_SUCCESS) return true;
    d.link.report.showWarningPopup(
        formatMessage(message, visaStatusDescription(d.link, status).c_str()), code);
    return false;
}

} // namespace

bool atEndOfProgram(const DownloadImage& image, std::int32_t address) {
    const std::int32_t last = image.lastIndex;
    if (last < 0) return false;
    if (address == last) return true;
    if (address != last - 1) return false;
    const std::uint8_t lastByte = image.code[static_cast<std::size_t>(last)];
    const std::uint8_t before = image.code[static_cast<std::size_t>(address)];
    return lastByte == stop_code || (before == stop_code && lastByte == fill_byte);
}

RunOutcome singleStep(Debugger& d, int count) {
    if (!prepareToRun(d, step_abort)) return {};
    BusyWhileRunning busy(d.link.report);
    RunOutcome outcome{StopReason::step, d.state.previousAddress};
    for (int steps = 1; steps <= count; ++steps) {
        const std::int32_t a = stepOverLine(d);
        if (a < 0) return {};
        d.state.previousAddress = outcome.address = a;
        markCurrentLine(d, a);
        if (!refreshRegisters(d)) return {StopReason::failed, a};
        refreshRamWindowIfOpen(d);
        if (atEndOfProgram(d.program, a)) {
            showEndOfProgram(d);
            return {StopReason::end, a};
        }
        if (steps % keep_alive_steps == 0)
            d.link.report.progress(static_cast<std::size_t>(steps),
                                   static_cast<std::size_t>(count));
    }
    return outcome;
}

RunOutcome runToBreakpoint(Debugger& d) {
    if (d.view.blinkingHexLine() || !prepareToRun(d, run_abort)) return {};
    return runUntil(
        d, [](const AddressEntry& entry) { return entry.bpFlag != 0; }, StopReason::breakpoint);
}

RunOutcome runToCursor(Debugger& d, int tab, std::int32_t line) {
    const auto& listings = d.state.listingFiles;
    if (tab < 0 || tab >= static_cast<int>(listings.size())) return {};
    const std::string file = listings[static_cast<std::size_t>(tab)].name;
    if (!isValidHoldPoint(d.table, line, file, d.link.report, d.settings.suppressDebugBpMessages) ||
        d.view.blinkingHexLine() || !prepareToRun(d, run_abort))
        return {};
    const RunOutcome outcome = runUntil(
        d, [&](const AddressEntry& entry) { return entry.isOn(line, file); }, StopReason::cursor);
    if (outcome.reason != StopReason::failed && atEndOfProgram(d.program, outcome.address))
        showEndOfProgram(d);
    return outcome;
}

bool newDebugCycle(Debugger& d) {
    d.view.stopBlinkingHexLine();
    if (d.state.debugModeActive) leaveDebugMode(d);
    closeRamWindow(d);
    clearAllBP(d);
    if (openProgrammerForDebug(d.link) != 0 || !d.state.debugModeActive) {
        leaveDebugMode(d);
        return false;
    }
    const bool reset = resetWithPopup(d, cmd::powerReset, debug_message::power_reset_code,
                                      debug_message::power_reset) &&
                       resetWithPopup(d, cmd::initReset, debug_message::init_reset_code,
                                      debug_message::init_reset);
    d.state.previousAddress = 0;
    return reset;
}

bool resetChip(Debugger& d) {
    bool sent = false;
    if (d.state.debugModeActive) {
        sent = resetPulse(d.link) == VI_SUCCESS;
    } else {
        if (openProgrammerForDebug(d.link) == 0 && d.state.debugModeActive)
            sent = resetPulse(d.link) == VI_SUCCESS;
        leaveDebugMode(d);
    }
    d.state.previousAddress = 0;
    return sent;
}

} // namespace programmer
