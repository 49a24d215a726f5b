#include "programmer/ram_view.h"

#include "programmer/command_set.h"
#include "programmer/debug_messages.h"
#include "programmer/debugger.h"
#include "programmer/download_frame.h"
#include "programmer/session.h"

namespace programmer {

namespace {

struct RegionColours {
    std::uint32_t oddRow;
    std::uint32_t evenRow;
};

RegionColours coloursOf(RamRegion region) {
    switch (region) {
    case RamRegion::user:
        return {0x91FF91, 0xB9FFB9};
    case RamRegion::config:
        return {0xFFB46A, 0xFFC896};
    case RamRegion::system:
        return {0xFFA8A8, 0xFFBBBB};
    case RamRegion::reserved:
        break;
    }
    return {0xF0F0F0, 0xF0F0F0};
}

} // namespace

RamRegion ramRegion(int address) {
    if ((address >= 0x40 && address <= 0x4F) || (address >= 0x5C && address <= 0x5F))
        return RamRegion::reserved;
    if ((address >= 0x30 && address <= 0x3F) || (address >= 0x50 && address <= 0x5B))
        return RamRegion::config;
    if (address >= 0xD0) return RamRegion::system;
    return RamRegion::user;
}

RamCellLayout ramCellLayout(int address) {
    RamCellLayout layout;
    layout.column = address / 32 * 2 + 2;
    layout.row = address % 32 + 1;
    const RegionColours colours = coloursOf(ramRegion(address));
    layout.background = layout.row % 2 == 0 ? colours.evenRow : colours.oddRow;
    return layout;
}

bool readRamCells(ProgrammerLink& link, DebuggerView& view, RamWindow& window, Reply* failed) {
    bool complete = true;
    for (int a = 0; a < RamWindow::cell_count; ++a) {
        if (ramRegion(a) == RamRegion::reserved) continue;
        const Reply reply = cmd::readRegister(link, static_cast<std::uint8_t>(a));
        if (!reply.complete(3)) {
            if (complete && failed) *failed = reply;
            complete = false;
            continue;
        }
        auto& cached = window.cache[static_cast<std::size_t>(a)];
        if (!window.fullRefresh && reply.bytes == cached) continue;
        view.setRamCell(
            a, formatMessage("0x%02x%02x%02x", reply.bytes[0], reply.bytes[1], reply.bytes[2]));
        cached = reply.bytes;
    }
    window.fullRefresh = false;
    return complete;
}

bool ramWindowMayOpen(Debugger& d) {
    if (d.state.debugModeActive) return true;
    d.link.report.showInfoPopup(debug_message::ram_inactive, debug_message::ram_inactive_code);
    return false;
}

void ramWindowOpened(Debugger& d) {
    d.ram.open = true;
    d.ram.fullRefresh = true;
    refreshRamWindow(d);
}

void refreshRamContent(Debugger& d) {
    d.ram.fullRefresh = true;
    refreshRamWindow(d);
}

void ramWindowClosed(Debugger& d) {
    d.ram.open = false;
    d.ram.fullRefresh = true;
}

void closeRamWindow(Debugger& d) {
    if (!d.ram.open) return;
    d.view.closeRamWindow();
    ramWindowClosed(d);
}

void refreshRamWindow(Debugger& d) {
    const bool wasActive = d.state.debugModeActive;
    if (!wasActive) openProgrammerForDebug(d.link);
    Reply failed;
    if (!readRamCells(d.link, d.view, d.ram, &failed)) debugReadFailed(d, failed);
    if (!wasActive) leaveDebugMode(d);
}

void refreshRamWindowIfOpen(Debugger& d) {
    if (d.ram.open) refreshRamWindow(d);
}

} // namespace programmer
