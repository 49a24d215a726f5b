#include "simulator/simulator.h"

#include "protocol/command_codes.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

std::uint32_t nextDeviceId() {
    static std::atomic<std::uint32_t> last{0};
    return ++last;
}

std::unique_ptr<Simulator>& instance() {
    static std::unique_ptr<Simulator> simulator;
    return simulator;
}

} // namespace

SimConfig configFromEnvironment() {
    SimConfig config;
    if (const char* path = std::getenv("KZ71_SIM_STATE")) config.state_path = path;
    if (const char* loader = std::getenv("KZ71_SIM_LOADER"))
        config.start_as_loader = std::string(loader) == "1";
    if (const char* faults = std::getenv("KZ71_SIM_FAULTS")) config.faults = faults;
    return config;
}

Simulator::Simulator(SimConfig config, std::shared_ptr<kz71::Clock> clock)
    : config_(std::move(config)), clock_(std::move(clock)), log_(config_.log_capacity),
      board_(faults_, config_.board_switch, config_.chip_iic_address),
      programmer_(board_, faults_, config_.programmer_model, config_.firmware_version),
      loader_on_bus_(config_.start_as_loader) {
    if (!clock_) clock_ = kz71::steadyClock();
    if (!config_.state_path.empty()) openStateFile();
    if (std::string problem; !parseFaults(config_.faults, faults_, problem)) report(problem);
    board_.powerReset();
    enumerate();
}

Simulator::~Simulator() {
    saveState();
}

void Simulator::openStateFile() {
    const StateLoadResult loaded = loadStateFile(config_.state_path, board_);
    state_rejected_ = loaded.kind == StateLoad::rejected;
    if (loaded.kind == StateLoad::loaded) saved_state_ = serializeState(board_);
    std::string problem = loaded.problem;
    if (!state_rejected_) checkStateFileWritable(config_.state_path, problem);
    if (!problem.empty()) setStateProblem(std::move(problem));
}

bool Simulator::saveState() {
    if (config_.state_path.empty()) return true;
    if (state_rejected_) return false;
    std::string text = serializeState(board_);
    if (text == saved_state_) return true;
    std::string problem;
    if (!saveStateFile(config_.state_path, text, problem)) {
        setStateProblem(std::move(problem));
        return false;
    }
    saved_state_ = std::move(text);
    state_problem_.clear();
    return true;
}

void Simulator::setStateProblem(std::string problem) {
    if (problem == state_problem_) return; // told once, not at every close
    state_problem_ = std::move(problem);
    report(state_problem_);
}

void Simulator::report(const std::string& problem) {
    if (config_.report_problem) config_.report_problem(problem);
}

void Simulator::enumerate() {
    device_id_ = nextDeviceId();
}

std::vector<DeviceInfo> Simulator::devices() const {
    if (!plugged_) return {};
    const std::uint16_t model = loader_on_bus_ ? loader_.model() : programmer_.model();
    return {{device_id_, wire::manufacturer_id, model, config_.serial}};
}

OpenResult Simulator::open(std::uint32_t id) {
    if (!plugged_ || id != device_id_) return OpenResult::not_present;
    if (faults_.heldByOtherProgram()) return OpenResult::busy;
    return OpenResult::ok;
}

bool Simulator::close() {
    return saveState();
}

void Simulator::unplug() {
    plugged_ = false;
}

void Simulator::plug() {
    if (plugged_) return;
    // Power came back: a firmware loaded into the programmer is gone, the chip restarts.
    plugged_ = true;
    loader_ = LoaderDevice{};
    loader_on_bus_ = config_.start_as_loader;
    programmer_.powerOn();
    board_.powerReset();
    enumerate();
}

UsbDevice* Simulator::deviceFor(std::uint32_t id) {
    if (!plugged_ || id != device_id_) return nullptr;
    if (loader_on_bus_) return &loader_;
    return &programmer_;
}

TransferResult Simulator::control(std::uint32_t id, const ControlSetup& setup,
                                  std::span<const std::uint8_t> out, std::span<std::uint8_t> in) {
    // Never more data than the setup's wLength, whatever the caller's buffers hold.
    out = out.first(std::min<std::size_t>(out.size(), setup.length));
    in = in.first(std::min<std::size_t>(in.size(), setup.length));
    if (faults_.takeCablePull()) unplug();
    const Time now = clock_->now();
    Transfer& entry = log_.append(now, setup);
    if (!setup.deviceToHost()) entry.data.assign(out.begin(), out.end());
    UsbDevice* device = deviceFor(id);
    const std::size_t refused_starts = loader_.refusedStarts();
    TransferResult result{TransferStatus::no_device, 0};
    if (device) {
        if (const auto failure = faults_.takeFailure(setup)) {
            result.status =
                *failure == Failure::stall ? TransferStatus::stalled : TransferStatus::timed_out;
        } else {
            result = device->control(setup, out, in, now);
        }
        clock_->spend(config_.transfer_time);
    }
    entry.status = result.status;
    if (setup.deviceToHost()) entry.data.assign(in.begin(), in.begin() + result.received);
    if (device == &loader_) afterLoaderTransfer(refused_starts);
    return result;
}

void Simulator::afterLoaderTransfer(std::size_t refused_starts) {
    if (loader_.refusedStarts() != refused_starts) report(loader_.problem());
    if (loader_.started()) {
        loader_on_bus_ = false; // the firmware runs: the device re-enumerates as the programmer
        enumerate();
    }
}

Simulator& simulator() {
    auto& sim = instance();
    if (!sim) {
        SimConfig config = configFromEnvironment();
        config.report_problem = [](const std::string& problem) {
            std::fprintf(stderr, "KZ71 simulator: %s\n", problem.c_str());
        };
        sim = std::make_unique<Simulator>(std::move(config), kz71::steadyClock());
    }
    return *sim;
}

Simulator& resetSimulator(SimConfig config, std::shared_ptr<kz71::Clock> clock) {
    auto& sim = instance();
    sim.reset(); // the old one saves its state file first
    sim = std::make_unique<Simulator>(std::move(config), std::move(clock));
    return *sim;
}

} // namespace sim
