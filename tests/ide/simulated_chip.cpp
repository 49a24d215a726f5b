#include "simulated_chip.h"

#include "programmer/backend_table.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"

#include <algorithm>
#include <memory>

namespace ide::test {

bool useSimulatedChip(kz71::Clock& clock, std::string& error,
                      std::chrono::microseconds transferTime) {
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    if (!programmer::selectBackend("sim", error)) return false;
    sim::SimConfig config;
    config.transfer_time = transferTime;
    // The chip runs on the test's clock: the IDE's pauses and run limits cost nothing.
    sim::resetSimulator(std::move(config),
                        std::shared_ptr<kz71::Clock>(&clock, [](kz71::Clock*) {}));
    return true;
}

void releaseSimulatedChip() {
    sim::resetSimulator({}, std::make_shared<kz71::VirtualClock>());
}

void putIntoSpiEeprom(std::span<const std::uint8_t> image) {
    auto& eeprom = sim::simulator().board().spi_eeprom.contents();
    std::fill(eeprom.begin(), eeprom.end(), 0xFF);
    std::copy_n(image.begin(), std::min(image.size(), eeprom.size()), eeprom.begin());
}

std::vector<std::string> transferLog() {
    return sim::simulator().log().lines();
}

void clearTransferLog() {
    sim::simulator().log().clear();
}

bool programmerInDebugMode() {
    return sim::simulator().programmer().debugMode();
}

} // namespace ide::test
