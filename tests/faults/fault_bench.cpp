#include "fault_bench.h"

#include "link_fixture.h"
#include "programmer/backend_table.h"
#include "programmer/breakpoints.h"
#include "programmer/otp_download.h"
#include "programmer/run_control.h"
#include "programmer/spi_eeprom_download.h"
#include "programmer/user_eeprom_download.h"
#include "simulator/sim_backend.h"
#include "test_programs.h"

#include <algorithm>
#include <cstdlib>

namespace faults {

namespace {

using namespace programmer;

const std::map<int, int> user_cells{{0x00, 0x12}, {0x01, 0x34}, {0x7F, 0xA5}};

// The loop's compare of the counting program stands on line 6, at address 0x0A.
constexpr int break_line = 6;
constexpr std::int32_t break_address = 0x0A;

const std::string comm_check_failed = "...FAILED! Please check connection.\n";
const std::string pattern_write = "OUT B0 0000 00F0 [AA 55 66]";
const std::string comm_read = "IN B0 0040 00F0";

bool startsWith(const std::string& line, const std::string& prefix) {
    return line.rfind(prefix, 0) == 0;
}

std::optional<std::string> commCheck(const std::string& transfer) {
    if (transfer == pattern_write || startsWith(transfer, comm_read)) return comm_check_failed;
    return std::nullopt;
}

std::size_t indexOf(const std::vector<std::string>& log, const std::string& prefix) {
    const auto it = std::find_if(log.begin(), log.end(),
                                 [&](const std::string& l) { return startsWith(l, prefix); });
    return static_cast<std::size_t>(it - log.begin());
}

} // namespace

Bytes otpImage() {
    Bytes image = countingImage(40);
    image[DownloadImage::mode_byte] = 0x03;
    return image;
}

namespace {

bool chipHolds(Bench& b, const Bytes& image) {
    const auto& eeprom = b.simulator->board().spi_eeprom.contents();
    return std::equal(image.begin(), image.end(), eeprom.begin());
}

Operation spiDownload() {
    Operation op;
    op.name = "SpiEepromDownload";
    op.prepare = [](Bench&) {};
    op.run = [](Bench& b) { return downloadSpiEeprom(b.link, b.image, b.files.hex); };
    op.tookEffect = [](Bench& b) { return chipHolds(b, countingImage(17)); };
    op.judged = [](const std::vector<std::string>& clean,
                   std::size_t q) -> std::optional<std::string> {
        if (auto check = commCheck(clean[q])) return check;
        if (q + 1 == clean.size()) return "\nExecution of init reset failed !\n";
        if (q > indexOf(clean, "OUT B0 0000 003C"))
            return "error 131 Programming Spi EEPROM failed";
        return std::nullopt;
    };
    return op;
}

Operation otpDownload() {
    Operation op;
    op.name = "OtpDownload";
    op.prepare = [](Bench&) {};
    op.run = [](Bench& b) { return downloadOtp(b.link, b.image, b.files.otpHex, false); };
    op.tookEffect = [](Bench& b) {
        const auto& cells = b.simulator->chip().otp().cells();
        const Bytes image = otpImage();
        return std::equal(image.begin(), image.end(), cells.begin()) &&
               std::equal(image.begin(), image.end(), cells.begin() + 0x1000); // redundancy
    };
    op.judged = [](const std::vector<std::string>& clean,
                   std::size_t q) -> std::optional<std::string> {
        if (auto check = commCheck(clean[q])) return check;
        const std::string& t = clean[q];
        if (startsWith(t, "OUT B0 0023")) return "error 131 Switching on VPP_OTP failed";
        if (startsWith(t, "OUT B0 00A9")) return "error 131 Enable OTP failed";
        if (startsWith(t, "OUT B0 00AD")) return "error 131 Enable OTP Programming failed";
        if (startsWith(t, "OUT B0 00A7")) return "error 131 OTP Programming failed";
        // The switch-off commands are not judged; the closing resets are.
        if (q + 2 == clean.size()) return "\nExecution of power reset failed !\n";
        if (q + 1 == clean.size()) return "\nExecution of init reset failed !\n";
        return std::nullopt;
    };
    return op;
}

Operation spiVerify() {
    Operation op;
    op.name = "SpiEepromVerify";
    op.prepare = [](Bench& b) {
        b.putIntoChip(b.files.hex);
        ASSERT_EQ(loadHexImage(b.link, b.image, b.files.hex), 0);
    };
    op.run = [](Bench& b) { return verifySpiEeprom(b.link, b.image); };
    op.tookEffect = [](Bench& b) {
        return b.report.box.find("\nNumber of verified bytes: 17") != std::string::npos;
    };
    op.judged = [](const std::vector<std::string>& clean,
                   std::size_t q) -> std::optional<std::string> {
        if (auto check = commCheck(clean[q])) return check;
        if (q + 1 == clean.size()) return "\nExecution of init reset failed !\n";
        // From the register write before the read to the last byte read; the deselect after
        // it is only reported.
        const std::size_t deselect = clean.size() - 2;
        if (q >= indexOf(clean, "OUT B0 0000 003C") && q < deselect)
            return "\nRead/Verify failed !\n";
        return std::nullopt;
    };
    op.alwaysOnFailure = {"error 132 Read & verify failed.\nPlease download hexfile again!",
                          "verify failed shown"};
    return op;
}

Operation userEepromDownload() {
    Operation op;
    op.name = "UserEepromDownload";
    op.prepare = [](Bench&) {};
    op.run = [](Bench& b) { return downloadUserEeprom(b.link, b.image, b.files.epr); };
    op.tookEffect = [](Bench& b) {
        const auto& cells = b.simulator->chip().userEeprom().cells();
        return std::all_of(user_cells.begin(), user_cells.end(), [&](const auto& cell) {
            return cells[static_cast<std::size_t>(cell.first)] == cell.second;
        });
    };
    op.judged = [](const std::vector<std::string>& clean,
                   std::size_t q) -> std::optional<std::string> {
        if (auto check = commCheck(clean[q])) return check;
        const std::string& t = clean[q];
        if (startsWith(t, "OUT B0 0087")) return "\nSwitching on BGAP failed !\n";
        if (startsWith(t, "OUT B0 0091")) return "\nSwitching on EEPROM enable failed !\n";
        if (startsWith(t, "OUT B0 00A4")) return "\nErasing user EEPROM failed !\n";
        if (startsWith(t, "OUT B0 00A1")) return "error 133 Writing of user EEPROM hexfile failed";
        if (startsWith(t, "OUT B0 0090")) return "\nSwitching off EEPROM enable failed !\n";
        if (startsWith(t, "OUT B0 0086")) return "\nSwitching off BGAP failed !\n";
        if (q + 1 == clean.size()) return "\nExecution of power reset failed !\n";
        return std::nullopt;
    };
    return op;
}

Operation runToBreakpointOperation() {
    Operation op;
    op.name = "RunToBreakpoint";
    op.prepare = [](Bench& b) {
        b.putIntoChip(b.files.programHex);
        b.loadProgram(b.files.programHex, b.files.programDbg, break_line);
    };
    op.run = [](Bench& b) {
        const RunOutcome outcome = runToBreakpoint(b.debugger());
        return outcome.reason == StopReason::breakpoint && outcome.address == break_address;
    };
    op.tookEffect = [](Bench& b) {
        return b.simulator->chip().programAddress() == break_address &&
               b.view.registers.lastAddress == "0x000A";
    };
    op.judged = [](const std::vector<std::string>& clean,
                   std::size_t q) -> std::optional<std::string> {
        const std::string& t = clean[q];
        if (startsWith(t, "OUT B0 0089") || startsWith(t, "OUT B0 0043") ||
            startsWith(t, "OUT B0 0042"))
            return "warning 213 Enable debug mode failed";
        if (startsWith(t, "IN B0 0081") || startsWith(t, "IN B0 0040"))
            return "warning 216 Reading debug information failed";
        return std::nullopt;
    };
    op.usesLamp = false;
    return op;
}

} // namespace

Files::Files() {
    const auto write = [this](const std::string& name, const std::string& text) {
        dir.write(name, text);
        return (dir.path() / name).string();
    };
    hex = write("image.hex", hexFileText(countingImage(17)));
    epr = write("image.epr", eprFileText(user_cells));
    write("prog.asm", counting_program);
    programHex = write("prog.hex", counting_program_hex);
    programDbg = write("prog.dbg", counting_program_dbg);
    otpHex = write("otp.hex", hexFileText(otpImage()));
    longHex = write("long.hex", hexFileText(countingImage(64)));
    longDbg = write("long.dbg", "//\tDownloadable DBG-File for KZ71\r\n\r\n");
}

Bench::Bench(const Files& f) : files(f) {
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    setenv("KZ71_PROGRAMMER", "sim", 1);
    simulator = &sim::resetSimulator({}, clock);
    link.observer = &guard;
}

programmer::Debugger& Bench::debugger() {
    if (!debugger_) {
        debugger_.emplace(link, view);
        debugger_->settings.suppressDebugInfoRefreshing = true; // as the IDE starts
    }
    return *debugger_;
}

Bench::~Bench() {
    viClose(session.resourceManager);
}

void Bench::repair() {
    faults().clear();
    simulator->plug();
}

void Bench::putIntoChip(const std::string& hexPath) {
    DownloadImage loaded;
    ASSERT_EQ(loadHexImage(link, loaded, hexPath), 0);
    auto& eeprom = simulator->board().spi_eeprom.contents();
    std::fill(eeprom.begin(), eeprom.end(), 0xFF);
    std::copy(loaded.code.begin(), loaded.code.begin() + loaded.lastIndex + 1, eeprom.begin());
    report = RecordingReport{};
}

void Bench::loadProgram(const std::string& hexPath, const std::string& dbgPath, int breakLine) {
    debugger().hexFilePath = hexPath;
    debugger().dbgFilePath = dbgPath;
    loadDebugProgram(debugger());
    if (breakLine > 0) {
        ASSERT_EQ(toggleBreakpointAtLine(debugger(), 0, breakLine), BreakpointToggle::set);
    }
    report = RecordingReport{};
}

const std::vector<Operation>& operations() {
    static const std::vector<Operation> all{spiDownload(), otpDownload(), spiVerify(),
                                            userEepromDownload(), runToBreakpointOperation()};
    return all;
}

std::optional<std::string> expectedFailure(const Operation& operation,
                                           const std::vector<std::string>& clean,
                                           std::size_t position, bool allLater) {
    const std::string kind = kindOf(clean[position]);
    for (std::size_t q = position; q < clean.size(); ++q) {
        if (!allLater && kindOf(clean[q]) != kind) continue;
        if (auto text = operation.judged(clean, q)) return text;
    }
    return std::nullopt;
}

std::string kindOf(const std::string& transfer) {
    const std::size_t first = transfer.find(' ');
    const std::size_t second = transfer.find(' ', first + 1);
    return transfer.substr(0, transfer.find(' ', second + 1));
}

std::string everythingTold(const Bench& bench) {
    std::string told = bench.report.box;
    for (const std::string& event : bench.report.events)
        told += "\n" + event;
    return told;
}

} // namespace faults
