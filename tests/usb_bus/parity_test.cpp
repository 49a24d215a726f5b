// Every kz71prog-level operation leaves the same transfer log (with its time stamps), the same
// messages, lamp and table, and the same memories, whether it went through the "sim" backend or
// through the "usb" backend, libusb and the emulated bus. Each row of the table is one
// operation; a failure path (a stall, an unplugged cable, a programmer held elsewhere) is one
// more row.
#include "bus_fixture.h"
#include "link_fixture.h"
#include "programmer/breakpoints.h"
#include "programmer/download_commands.h"
#include "programmer/firmware_load.h"
#include "programmer/ram_view.h"
#include "programmer/run_control.h"
#include "programmer/session.h"
#include "programmer/user_eeprom_download.h"
#include "recording_view.h"
#include "simulator/firmware_image.h"
#include "simulator/state_file.h"
#include "test_programs.h"

#include <functional>
#include <sstream>

namespace {

using namespace programmer;

// The simulated programmer an operation reaches, and how: one simulator either way.
class ProgrammerPath {
public:
    virtual ~ProgrammerPath() = default;
    virtual sim::Simulator& simulator() = 0;
    virtual void unplug() = 0;
    virtual void plug() = 0;
};

class SimBackendPath final : public ProgrammerPath {
public:
    SimBackendPath(sim::SimConfig config, std::shared_ptr<kz71::Clock> clock)
        : simulator_(sim::resetSimulator(std::move(config), std::move(clock))) {}
    sim::Simulator& simulator() override { return simulator_; }
    void unplug() override { simulator_.unplug(); }
    void plug() override { simulator_.plug(); }

private:
    sim::Simulator& simulator_;
};

class UsbBusPath final : public ProgrammerPath {
public:
    explicit UsbBusPath(usb_bus::EmulatedProgrammer& programmer) : programmer_(programmer) {}
    sim::Simulator& simulator() override { return programmer_.simulator(); }
    void unplug() override { programmer_.unplug(); }
    void plug() override { programmer_.plug(); }

private:
    usb_bus::EmulatedProgrammer& programmer_;
};

// The files the operations read, the same for both runs.
struct Files {
    explicit Files(const ScratchDirectory& dir) {
        const auto write = [&dir](const std::string& name, const std::string& text) {
            dir.write(name, text);
            return (dir.path() / name).string();
        };
        hex = write("prog.hex", hexFileText(countingImage(70)));
        Bytes redundant = countingImage(40);
        redundant[38] = 0x03; // the mode bits: redundancy
        redundantHex = write("redundant.hex", hexFileText(redundant));
        epr = write("prog.epr", eprFileText({{0, 0x12}, {1, 0x34}, {0x7F, 0xA5}}));
        const std::uint8_t code[] = {0x02, 0x00, 0x10, 0x75, 0x81, 0x30};
        firmware = write("firmware.hex", sim::firmwareHexText(sim::makeFirmwareImage(code, 1)));
        write("prog.asm", counting_program);
        programHex = write("counting.hex", counting_program_hex);
        programDbg = write("counting.dbg", counting_program_dbg);
    }
    std::string hex;
    std::string redundantHex;
    std::string epr;
    std::string firmware;
    std::string programHex; // the counting program and its .dbg file, for the debugger
    std::string programDbg;
};

// One run of an operation on one path.
struct Run {
    Run(ProgrammerPath& path, const Files& files, std::shared_ptr<kz71::VirtualClock> clock)
        : path(path), files(files), clock(std::move(clock)) {}
    ~Run() { viClose(session.resourceManager); }

    sim::Faults& faults() { return path.simulator().faults(); }
    bool download(TargetMemory memory, const std::string& hex, bool readProtect = false,
                  const std::string& epr = "") {
        return downloadHexFile(link, image, {memory, readProtect, hex, epr});
    }
    bool verify(TargetMemory memory) { return readAndVerify(link, image, memory); }

    ProgrammerPath& path;
    const Files& files;
    std::shared_ptr<kz71::VirtualClock> clock;
    ProgrammerSession session;
    RecordingReport report;
    ProgrammerLink link{session, report, *clock};
    DownloadImage image;
};

struct Operation {
    const char* name;
    bool succeeds;
    std::function<bool(Run&)> run;
    bool startsAsLoader = false; // the programmer's firmware is not loaded yet
};

// A debug session on the counting program, downloaded first: the debugger's open of the
// programmer and debug mode, single steps, a run to a breakpoint with the registers read where
// it stopped, the RAM window, a run to the last line, and Exit Debug Mode. True when the chip
// stopped where the program says and showed the values it computes.
bool debugSession(Run& r) {
    if (!r.download(TargetMemory::spiEeprom, r.files.programHex)) return false;
    RecordingView view;
    Debugger debugger(r.link, view);
    debugger.hexFilePath = r.files.programHex;
    debugger.dbgFilePath = r.files.programDbg;
    debugger.settings.suppressDebugInfoRefreshing = true;
    loadDebugProgram(debugger);
    const RunOutcome steps = singleStep(debugger, 2);
    const bool breakpointSet = toggleBreakpointAtLine(debugger, 0, 8) == BreakpointToggle::set;
    const RunOutcome breakpoint = runToBreakpoint(debugger);
    const RegisterTexts atBreakpoint = view.registers;
    const bool ramMayOpen = ramWindowMayOpen(debugger);
    if (ramMayOpen) ramWindowOpened(debugger);
    const RunOutcome cursor = runToCursor(debugger, 0, 9);
    exitDebugMode(debugger);
    return steps.address == 5 && breakpointSet && breakpoint.reason == StopReason::breakpoint &&
           breakpoint.address == 0x10 && atBreakpoint.x == "0x000006" &&
           atBreakpoint.z == "0x000003" && ramMayOpen && view.ramCells.size() == 236 &&
           cursor.reason == StopReason::cursor && cursor.address == 0x14 &&
           view.ramCells.at(0x00) == "0x000009" && !debugger.state.debugModeActive;
}

// One row per kz71prog-level operation; README.md says how to add one.
const Operation operations[] = {
    {"DeviceInfo", true, [](Run& r) { return showDeviceInfo(r.link); }},
    {"SpiEepromWithUserEepromThenVerify", true,
     [](Run& r) {
         return r.download(TargetMemory::spiEeprom, r.files.hex, false, r.files.epr) &&
                r.verify(TargetMemory::spiEeprom);
     }},
    {"SpiEepromOverIic", true,
     [](Run& r) {
         r.link.chipInterface = {true, 0x20};
         return r.download(TargetMemory::spiEeprom, r.files.hex) &&
                r.verify(TargetMemory::spiEeprom);
     }},
    {"OtpInRedundancyModeThenVerify", true,
     [](Run& r) {
         return r.download(TargetMemory::otp, r.files.redundantHex) && r.verify(TargetMemory::otp);
     }},
    {"OtpReadProtectedNoLongerVerifies", true,
     [](Run& r) {
         return r.download(TargetMemory::otp, r.files.redundantHex, true) &&
                !r.verify(TargetMemory::otp);
     }},
    {"UserEeprom", true, [](Run& r) { return downloadUserEeprom(r.link, r.image, r.files.epr); }},
    {"CorruptedByteFailsTheVerify", true,
     [](Run& r) {
         const bool downloaded = r.download(TargetMemory::spiEeprom, r.files.hex);
         r.faults().corruptRead(sim::Memory::spi_eeprom, 5, 0x01);
         return downloaded && !r.verify(TargetMemory::spiEeprom);
     }},
    {"StalledPageWriteThenDownloadAgain", true,
     [](Run& r) {
         r.report.onProgress = [&r](std::size_t done) {
             if (done == 2) r.faults().failNextTransfers(sim::Failure::stall);
         };
         const bool first = r.download(TargetMemory::spiEeprom, r.files.hex);
         r.report.onProgress = nullptr;
         return !first && r.download(TargetMemory::spiEeprom, r.files.hex);
     }},
    {"StalledCommunicationCheck", false,
     [](Run& r) {
         r.faults().failCommand(wire::read_register, sim::Failure::stall, 1);
         return r.download(TargetMemory::spiEeprom, r.files.hex);
     }},
    {"UnpluggedDuringDownloadThenPluggedBack", true,
     [](Run& r) {
         r.report.onProgress = [&r](std::size_t done) {
             if (done == 3) r.path.unplug();
         };
         const bool first = r.download(TargetMemory::spiEeprom, r.files.hex);
         r.report.onProgress = nullptr;
         const bool whileUnplugged = showDeviceInfo(r.link);
         r.path.plug();
         return !first && !whileUnplugged && r.download(TargetMemory::spiEeprom, r.files.hex);
     }},
    {"FirmwareLoadThenDownload", true,
     [](Run& r) {
         // The loader leaves the bus and the programmer comes in its place, at a new address.
         return loadProgrammerFirmware(r.link, r.files.firmware) == FirmwareLoad::loaded &&
                r.path.simulator().firmwareRunning() &&
                r.download(TargetMemory::spiEeprom, r.files.hex) &&
                r.verify(TargetMemory::spiEeprom);
     },
     true},
    {"DebugSession", true, debugSession},
    {"HeldByAnotherProgram", false,
     [](Run& r) {
         r.faults().holdByOtherProgram(true);
         return r.download(TargetMemory::spiEeprom, r.files.hex);
     }},
};

void PrintTo(const Operation& operation, std::ostream* out) {
    *out << operation.name;
}

// What an operation leaves behind for the user and for the next program.
struct Outcome {
    bool result = false;
    std::string messages;
    Lines events;
    std::map<std::pair<int, int>, std::string> cells;
    Lines wire;     // the transfer log with time stamps
    Lines memories; // as the state file has them
};

Outcome runOn(ProgrammerPath& path, const Operation& operation, const Files& files,
              std::shared_ptr<kz71::VirtualClock> clock) {
    Run run(path, files, clock);
    Outcome outcome;
    outcome.result = operation.run(run);
    outcome.messages = run.report.box;
    outcome.events = run.report.events;
    outcome.cells = run.report.cells;
    const sim::TransferLog& log = path.simulator().log();
    for (std::size_t i = 0; i < log.size(); ++i)
        outcome.wire.push_back(sim::describeWithTime(log[i]));
    std::istringstream memories(sim::serializeState(path.simulator().board()));
    for (std::string line; std::getline(memories, line);)
        outcome.memories.push_back(line);
    return outcome;
}

// Equal line lists, or the first line where they part.
::testing::AssertionResult sameLines(const Lines& sim, const Lines& usb) {
    for (std::size_t i = 0; i < sim.size() || i < usb.size(); ++i) {
        const std::string a = i < sim.size() ? sim[i] : "(end)";
        const std::string b = i < usb.size() ? usb[i] : "(end)";
        if (a != b)
            return ::testing::AssertionFailure() << "line " << i << " of " << sim.size()
                                                 << ": sim \"" << a << "\", usb \"" << b << "\"";
    }
    return ::testing::AssertionSuccess();
}

struct Parity : BusTest, ::testing::WithParamInterface<Operation> {
    ScratchDirectory dir;
};

TEST_P(Parity, SameOnTheSimulatedBackendAndOnTheEmulatedBus) {
    const Operation& operation = GetParam();
    const Files files(dir);

    useBackend("sim");
    sim::SimConfig config;
    config.start_as_loader = operation.startsAsLoader;
    const auto simClock = std::make_shared<kz71::VirtualClock>();
    SimBackendPath simPath(config, simClock);
    const Outcome sim = runOn(simPath, operation, files, simClock);

    useBackend("usb");
    const auto usbClock = std::make_shared<kz71::VirtualClock>();
    UsbBusPath usbPath(plugProgrammer(config, usbClock));
    const Outcome usb = runOn(usbPath, operation, files, usbClock);

    EXPECT_EQ(sim.result, operation.succeeds) << sim.messages;
    EXPECT_EQ(usb.result, sim.result);
    EXPECT_EQ(usb.messages, sim.messages);
    EXPECT_EQ(usb.events, sim.events);
    EXPECT_EQ(usb.cells, sim.cells);
    if (operation.succeeds) {
        EXPECT_FALSE(sim.wire.empty());
    }
    EXPECT_TRUE(sameLines(sim.wire, usb.wire));
    EXPECT_TRUE(sameLines(sim.memories, usb.memories));
}

INSTANTIATE_TEST_SUITE_P(Operations, Parity, ::testing::ValuesIn(operations),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
