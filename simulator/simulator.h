// The simulated USB bus with the KZ71 programmer on it: the board (chip, SPI EEPROM), the
// programmer device or, before its firmware is loaded, the loader device, the clock that stamps
// every transfer, the transfer log, fault injection and the state file.
#pragma once

#include "protocol/clock.h"
#include "protocol/command_codes.h"
#include "simulator/board.h"
#include "simulator/faults.h"
#include "simulator/loader_device.h"
#include "simulator/programmer_device.h"
#include "simulator/state_file.h"
#include "simulator/transfer_log.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sim {

struct SimConfig {
    std::uint16_t programmer_model = wire::programmer_model_alt;
    std::uint8_t firmware_version = 1;
    bool start_as_loader = false; // the programmer's firmware still has to be loaded
    std::string serial = "KZ71SIM0001";
    BoardSwitch board_switch = BoardSwitch::follows_programmer;
    std::uint16_t chip_iic_address = 0x20;
    Time transfer_time = std::chrono::milliseconds(1); // bus time of one control transfer
    std::size_t log_capacity = TransferLog::default_capacity;
    std::string state_path; // empty: the memories are not kept between runs
    std::string faults;     // injected faults, as parseFaults reads them (faults.h)
    // Told every new problem of the simulated hardware as it arises: the state file cannot be
    // read or written, the loader refused a firmware image.
    std::function<void(const std::string& problem)> report_problem;
};

// KZ71_SIM_STATE names the state file; KZ71_SIM_LOADER=1 starts with the loader on the bus;
// KZ71_SIM_FAULTS names faults to inject (for tests of whole programs; see parseFaults).
SimConfig configFromEnvironment();

// A device on the bus as an enumeration shows it. Ids are never reused in a process, so a
// session to a device that left the bus stays dead.
struct DeviceInfo {
    std::uint32_t id = 0;
    std::uint16_t vendor = 0;
    std::uint16_t model = 0;
    std::string serial;
};

enum class OpenResult : std::uint8_t { ok, not_present, busy };

class Simulator {
public:
    Simulator(SimConfig config, std::shared_ptr<kz71::Clock> clock);
    ~Simulator(); // keeps the memories in the state file
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The bus, as a host sees it.
    std::vector<DeviceInfo> devices() const;
    OpenResult open(std::uint32_t id);
    // A host closed its session: the memories go to the state file if they changed. False when
    // they could not be kept there (stateProblem() says why).
    bool close();
    TransferResult control(std::uint32_t id, const ControlSetup& setup,
                           std::span<const std::uint8_t> out, std::span<std::uint8_t> in);

    // Pulling the cable and plugging it in again (the device comes back under a new id).
    void unplug();
    void plug();

    kz71::Clock& clock() { return *clock_; }
    TransferLog& log() { return log_; }
    Faults& faults() { return faults_; }
    Board& board() { return board_; }
    Chip& chip() { return board_.chip; }
    ProgrammerDevice& programmer() { return programmer_; }
    LoaderDevice& loader() { return loader_; }
    const SimConfig& config() const { return config_; }
    // Whether the programmer runs its firmware (otherwise the loader is on the bus).
    bool firmwareRunning() const { return !loader_on_bus_; }

    // The state file: why it cannot be used (empty when all is well: no state file, or one
    // read and written without trouble), and saving it now. A file that is not a state file, or
    // is damaged, or cannot be read is never written; saveState() then always fails. A file or
    // folder that cannot be written is reported at once, before anything could be lost.
    const std::string& stateProblem() const { return state_problem_; }
    bool saveState();

private:
    UsbDevice* deviceFor(std::uint32_t id);
    void enumerate();
    void openStateFile();
    void report(const std::string& problem);
    void setStateProblem(std::string problem);
    void afterLoaderTransfer(std::size_t refused_starts);

    SimConfig config_;
    std::shared_ptr<kz71::Clock> clock_;
    Faults faults_;
    TransferLog log_;
    Board board_;
    ProgrammerDevice programmer_;
    LoaderDevice loader_;
    bool loader_on_bus_;
    bool plugged_ = true;
    std::uint32_t device_id_ = 0;
    bool state_rejected_ = false;
    std::string state_problem_;
    std::string saved_state_; // what the file holds, to write it only when something changed
};

// The process-wide simulator behind the simulator backend: made on first use from the
// environment, on the steady clock, telling its problems on standard error.
Simulator& simulator();
// Replaces it (tests: a fresh chip on a virtual clock). Sessions to the old one are dead.
Simulator& resetSimulator(SimConfig config, std::shared_ptr<kz71::Clock> clock);

} // namespace sim
