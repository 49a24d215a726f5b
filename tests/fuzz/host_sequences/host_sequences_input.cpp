// Fuzz entry point: the download, verify and debug sequences against a programmer whose every
// answer comes from the input (tests/fuzz/support/scripted_backend.h): the devices a search
// finds, the status of each transfer, short replies and their bytes. The first input byte
// chooses the operations and settings; the rest is the script. Once it is used up the
// programmer is gone, so every loop ends.
//
// Checked after each operation: the session is closed (or, for the debugger, held only while
// debug mode is active), the lamp ends in the state the result says, the busy cursor is back.
#include "fuzz_check.h"
#include "memory_file.h"
#include "programmer/breakpoints.h"
#include "programmer/debugger.h"
#include "programmer/download_commands.h"
#include "programmer/firmware_load.h"
#include "programmer/ram_view.h"
#include "programmer/run_control.h"
#include "programmer/session.h"
#include "programmer/silent_view.h"
#include "programmer/user_eeprom_download.h"
#include "quiet_report.h"
#include "scripted_backend.h"
#include "test_programs.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace programmer;

// A program of `size` bytes in the assembler's .hex layout; byte 38 holds `modeByte`.
std::string hexText(std::size_t size, std::uint8_t modeByte) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(0x10 + 7 * i);
    if (size > 38) bytes[38] = modeByte;
    std::string text = "//\tDownloadable Hex-File for KZ71\r\n\r\n";
    char line[32];
    for (std::size_t a = 0; a < size; a += 2) {
        std::snprintf(line, sizeof line, "%04zX: %02X %02X\r\n", a, bytes[a],
                      a + 1 < size ? bytes[a + 1] : 0);
        text += line;
    }
    return text;
}

const char* const user_cells = "00: 12 \n01: 34 \n7F: A5 \n";
const char* const firmware = ":03000000020010EB\n:00000001FF\n";

struct Files {
    Files() {
        hex.assign(hexText(40, 0x03));
        programHex.assign(counting_program_hex);
        dbg.assign(counting_program_dbg);
        epr.assign(user_cells);
        firmwareHex.assign(firmware);
    }
    fuzz::MemoryFile hex{"program.hex"};
    fuzz::MemoryFile programHex{"prog.hex"};
    fuzz::MemoryFile dbg{"prog.dbg"};
    fuzz::MemoryFile epr{"prog.epr"};
    fuzz::MemoryFile firmwareHex{"firmware.hex"};
};

struct Host {
    kz71::VirtualClock clock;
    ProgrammerSession session;
    fuzz::QuietReport report;
    ProgrammerLink link{session, report, clock};
    DownloadImage image;
    std::vector<fuzz::Answer> answers; // of every IN transfer
};

// A verify that succeeded was given the image back, every byte of it: never a failure taken
// for success. `command` is the read of one byte (SPI or OTP), whose wIndex for the OTP is the
// address (the read-protect byte is read once and not compared).
void checkVerifiedImage(const Host& h, std::uint16_t command) {
    std::size_t compared = 0;
    for (const fuzz::Answer& answer : h.answers) {
        if (!answer.in || answer.command != command ||
            (command == wire::read_otp_byte && answer.index == 0x1FCF))
            continue;
        const std::size_t address =
            command == wire::spi_read_byte ? compared : answer.index % 0x1000;
        FUZZ_CHECK(answer.status == VI_SUCCESS && answer.bytes.size() == 1);
        FUZZ_CHECK(address <= static_cast<std::size_t>(h.image.lastIndex));
        FUZZ_CHECK(answer.bytes[0] == h.image.code[address]);
        ++compared;
    }
    const std::size_t bytes = static_cast<std::size_t>(h.image.lastIndex + 1);
    FUZZ_CHECK(compared ==
               bytes * (command == wire::read_otp_byte && h.image.redundancyMode() ? 2 : 1));
}

void checkClosed(const Host& h) {
    FUZZ_CHECK(h.session.resourceManager == VI_NULL && h.session.instrument == VI_NULL);
    FUZZ_CHECK(h.report.busy == 0);
}

// A download that succeeded had every transfer that programs a memory succeed, and its
// communication check was answered: never a failure taken for success.
void checkDownloaded(const Host& h, bool otp, bool userEeprom) {
    bool checked = false;
    bool pages = false; // from the register write that opens the SPI EEPROM on
    for (const fuzz::Answer& a : h.answers) {
        const auto& b = a.bytes;
        if (a.in && a.command == wire::read_register && a.index == wire::reg_scratch)
            checked = checked ||
                      (a.status == VI_SUCCESS && b == std::vector<std::uint8_t>{0xAA, 0x55, 0x66});
        if (!a.in && a.command == wire::write_register && a.index == wire::reg_spi_access)
            pages = true;
        const bool spi = a.command == wire::spi_send_byte || a.command == wire::spi_select_send ||
                         a.command == wire::spi_deselect;
        const bool burnt = a.command == wire::write_otp_byte || a.command == wire::vpp_otp_on;
        const bool cells = a.command == wire::write_user_eeprom_cell ||
                           a.command == wire::erase_user_eeprom || a.command == wire::bgap_on ||
                           a.command == wire::eeprom_enable_on;
        if ((pages && spi && !otp) || (burnt && otp) || (cells && userEeprom))
            FUZZ_CHECK(a.status == VI_SUCCESS);
    }
    FUZZ_CHECK(checked);
}

void checkFrame(const Host& h, bool result) {
    checkClosed(h);
    FUZZ_CHECK(h.report.lamp == (result ? LampState::success : LampState::failed));
}

void downloads(Host& h, const Files& files, std::uint8_t choice) {
    const bool otp = choice & 0x02;
    const TargetMemory memory = otp ? TargetMemory::otp : TargetMemory::spiEeprom;
    if (choice & 0x01) {
        showDeviceInfo(h.link);
        checkClosed(h);
    }
    const DownloadRequest request{memory, (choice & 0x04) != 0, files.hex.path(),
                                  choice & 0x08 ? files.epr.path() : ""};
    h.answers.clear();
    const bool downloaded = downloadHexFile(h.link, h.image, request);
    checkFrame(h, downloaded);
    if (downloaded) checkDownloaded(h, otp, !request.eprFilePath.empty());
    h.answers.clear();
    const bool verified = readAndVerify(h.link, h.image, memory);
    checkFrame(h, verified);
    if (verified) checkVerifiedImage(h, otp ? wire::read_otp_byte : wire::spi_read_byte);
    if (choice & 0x10) {
        loadProgrammerFirmware(h.link, files.firmwareHex.path());
        checkClosed(h);
    }
}

void debugSession(Host& h, Debugger& d, const Files& files, std::uint8_t choice) {
    d.state = DebugState{};
    d.registers = RegisterDisplay{};
    d.ram = RamWindow{};
    d.hexFilePath = files.programHex.path();
    d.dbgFilePath = files.dbg.path();
    d.settings.suppressDebugInfoRefreshing = choice & 0x01;
    d.settings.suppressProperFileDetection = choice & 0x02;
    loadDebugProgram(d);
    toggleBreakpointAtLine(d, 0, 6);
    singleStep(d, 3);
    runToBreakpoint(d);
    if (choice & 0x04) ramWindowOpened(d);
    runToCursor(d, 0, 8);
    if (choice & 0x08) newDebugCycle(d);
    if (choice & 0x10) resetChip(d);
    singleStep(d, 1);
    FUZZ_CHECK(!d.state.debugModeActive || h.session.resourceManager != VI_NULL);
    endDebugSession(d);
    FUZZ_CHECK(!d.state.debugModeActive);
    checkClosed(h);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Files files;
    static fuzz::Script script({}, fuzz::Exhausted::fail);
    if (size == 0) return 0;
    const std::uint8_t choice = data[0];
    // One host for every input (the debugger's table is large), its records set afresh; the
    // debugger ends its session before every download, as on the IDE's pages.
    static Host host;
    static SilentDebuggerView view;
    static Debugger debugger(host.link, view);
    host.session = ProgrammerSession{};
    host.report = fuzz::QuietReport{};
    host.image = DownloadImage{};
    host.answers.clear();
    script = fuzz::Script({data + 1, size - 1}, fuzz::Exhausted::fail);
    // The answers are kept for the verifies only (a debug run may make many transfers).
    fuzz::useScriptedBackend(script, host.clock, choice & 0x80 ? nullptr : &host.answers);
    if (choice & 0x80)
        debugSession(host, debugger, files, choice);
    else
        downloads(host, files, choice);
    return 0;
}
