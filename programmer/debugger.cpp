#include "programmer/debugger.h"

#include "programmer/command_set.h"
#include "programmer/debug_messages.h"
#include "programmer/download_frame.h"
#include "programmer/session.h"

#include <algorithm>
#include <filesystem>

namespace programmer {

namespace {

namespace fs = std::filesystem;

constexpr int reset_settle_ms = 500;
// The comparison of the chip's program: words 0 to 30, once the image holds 60 bytes.
constexpr std::int32_t compared_words = 31;
constexpr std::int32_t smallest_compared_program = 60;

std::vector<ListingFile> listingFilesOf(const Debugger& d) {
    std::vector<ListingFile> listings;
    for (const std::string& name : sourceFiles(d.table))
        listings.push_back({name, sourcePathOf(d.dbgFilePath, name)});
    return listings;
}

void showListings(Debugger& d) {
    d.state.listingFiles = listingFilesOf(d);
    d.view.showListingFiles(d.state.listingFiles);
    if (d.state.listingFiles.empty()) return;
    const int last = static_cast<int>(d.state.listingFiles.size()) - 1;
    d.view.activateListingTab(last);
    d.view.showListingName(d.state.listingFiles.back().path);
}

void closeSession(ProgrammerSession& s) {
    s.lastStatus = viClose(s.instrument);
    s.lastStatus = viClose(s.resourceManager);
    s.instrument = VI_NULL;
    s.resourceManager = VI_NULL;
}

bool newerThan(const fs::path& file, fs::file_time_type reference) {
    std::error_code error;
    const auto time = fs::last_write_time(file, error);
    return !error && time > reference;
}

// Warning 213 when entering debug mode failed; false then.
bool enteredDebugMode(Debugger& d, ViStatus status) {
    if (status == VI_SUCCESS) return true;
    d.link.report.showWarningPopup(
        formatMessage(debug_message::enable_debug, visaStatusDescription(d.link, status).c_str()),
        debug_message::enable_debug_code);
    d.view.showDebugMode(false);
    return false;
}

bool wordMatches(const Reply& reply, const DownloadImage& image, std::int32_t word) {
    if (!reply.complete(2)) return false;
    const std::int32_t first = 2 * word;
    return reply.bytes[0] == image.code[static_cast<std::size_t>(first)] &&
           (first + 1 > image.lastIndex ||
            reply.bytes[1] == image.code[static_cast<std::size_t>(first + 1)]);
}

} // namespace

Debugger::Debugger(ProgrammerLink& programmerLink, DebuggerView& debuggerView)
    : link(programmerLink), view(debuggerView) {
    program.lastIndex = -1;
    link.debug = this;
}

Debugger::~Debugger() {
    if (link.debug == this) link.debug = nullptr;
}

int Debugger::enterDebugMode() {
    return programmer::enterDebugMode(*this);
}

void Debugger::endDebugSession() {
    programmer::endDebugSession(*this);
}

bool debugFileExists(const Debugger& debugger) {
    std::error_code error;
    return !debugger.dbgFilePath.empty() && fs::exists(debugger.dbgFilePath, error);
}

void loadDebugProgram(Debugger& d) {
    const auto limit = tableTimeLimit(d.settings.enlargeDebugTimeout);
    clearAddressTable(d.table);
    loadDebugFile(d.link, d.table, d.dbgFilePath, limit);
    loadHexFileLines(d.link, d.table, d.program, d.hexFilePath, limit);
    d.marks = LineMarks{};
    showListings(d);
    d.state.debugPageReady = true;
    d.state.staleBuildTold = false;
    tellIfBuildIsStale(d);
}

int enterDebugMode(Debugger& d) {
    d.view.showDebugMode(true);
    if (!enteredDebugMode(d, cmd::enterDebugMode(d.link))) return 1;
    // A reset line left on would hold the chip: no step would run, and every run would seem to
    // have stopped at address 0.
    if (!enteredDebugMode(d, resetPulse(d.link))) return 1;
    d.link.wait(reset_settle_ms);
    d.state.previousAddress = 0;
    if (d.state.debugPageReady)
        tellIfBuildIsStale(d);
    else
        loadDebugProgram(d);
    d.state.debugModeActive = true;
    d.state.chipChecked = false;
    resetRegisterDisplay(d.view, d.registers);
    clearCurrentLineMarks(d.view, d.marks);
    return 0;
}

void leaveDebugMode(Debugger& d) {
    if (d.state.debugModeActive) {
        cmd::leaveDebugMode(d.link);
        stepAndReadAddress(d);
    }
    closeSession(d.link.session);
    d.state.debugModeActive = false;
    d.view.showDebugMode(false);
}

void exitDebugMode(Debugger& d) {
    d.view.stopBlinkingHexLine();
    clearCurrentLineMarks(d.view, d.marks);
    leaveDebugMode(d);
    closeRamWindow(d);
}

void endDebugSession(Debugger& d) {
    if (d.state.debugModeActive) exitDebugMode(d);
    d.state.debugPageReady = false;
}

std::int32_t stepAndReadAddress(Debugger& d) {
    const Reply reply = cmd::singleStep(d.link);
    if (reply.complete(3)) return wire::programAddress(reply.bytes[1], reply.bytes[2]);
    debugReadFailed(d, reply);
    return -1;
}

void debugReadFailed(Debugger& d, const Reply& reply) {
    std::string reason =
        reply.status != VI_SUCCESS
            ? visaStatusDescription(d.link, reply.status)
            : formatMessage("only %u of 3 bytes received", static_cast<unsigned>(reply.received));
    if (reply.status == VI_ERROR_TMO || reason.find("bevor") != std::string::npos)
        reason = "Timeout";
    d.link.report.showWarningPopup(formatMessage(debug_message::step_read, reason.c_str()),
                                   debug_message::step_read_code);
    if (reply.status != VI_ERROR_CONN_LOST || !d.state.debugModeActive) return;
    // Nothing reaches the programmer any more: end debug mode as Exit Debug Mode would, but
    // without its commands.
    d.state.debugModeActive = false;
    d.view.stopBlinkingHexLine();
    clearCurrentLineMarks(d.view, d.marks);
    closeSession(d.link.session);
    d.view.showDebugMode(false);
    closeRamWindow(d);
}

bool refreshRegisters(Debugger& d) {
    Reply failed;
    if (refreshRegisterDisplay(d.link, d.view, d.registers, failed)) return true;
    debugReadFailed(d, failed);
    return false;
}

bool chipHoldsProgram(Debugger& d) {
    if (d.settings.suppressProperFileDetection ||
        d.program.lastIndex + 1 < smallest_compared_program)
        return true;
    ViStatus status = cmd::bgapOn(d.link);
    status |= cmd::eepromEnableOn(d.link);
    bool same = status == VI_SUCCESS;
    for (std::int32_t word = 0; same && word < compared_words; ++word)
        same = wordMatches(cmd::readProgramWord(d.link, static_cast<std::uint16_t>(word)),
                           d.program, word);
    status = cmd::eepromEnableOff(d.link);
    status |= cmd::bgapOff(d.link);
    if (same && status == VI_SUCCESS) return true;
    leaveDebugMode(d);
    return false;
}

std::string sourcePathOf(const std::string& dbgFilePath, const std::string& fileName) {
    std::string name = fileName;
    std::replace(name.begin(), name.end(), '\\', '/');
    const fs::path path(name);
    if (path.is_absolute()) return name;
    std::error_code error;
    const fs::path beside = fs::path(dbgFilePath).parent_path() / path;
    if (fs::exists(beside, error)) return beside.string();
    return name;
}

void tellIfBuildIsStale(Debugger& d) {
    if (d.state.staleBuildTold) return;
    std::error_code error;
    const auto built = fs::last_write_time(d.dbgFilePath, error);
    if (error) return;
    for (const ListingFile& listing : d.state.listingFiles) {
        if (!newerThan(listing.path, built)) continue;
        d.state.staleBuildTold = true;
        d.link.report.showInfoPopup(
            formatMessage(debug_message::stale_build, listing.path.c_str(), d.dbgFilePath.c_str()),
            debug_message::stale_build_code);
        return;
    }
}

} // namespace programmer
