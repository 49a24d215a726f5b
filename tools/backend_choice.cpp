#include "backend_choice.h"

#include "programmer/backend_table.h"
#include "programmer/libusb_backend.h"
#include "simulator/sim_backend.h"
#include "simulator/simulator.h"

namespace kz71prog {

namespace {

bool simulator_used = false;

} // namespace

bool chooseBackend(bool simulator, std::string& error) {
    programmer::registerBackend("usb", programmer::makeLibusbBackend);
    programmer::registerBackend("sim", [] {
        simulator_used = true;
        return sim::makeSimulatorBackend();
    });
    return programmer::selectBackend(simulator ? "sim" : "usb", error);
}

bool simulatedMemoriesKept() {
    return !simulator_used || sim::simulator().saveState();
}

} // namespace kz71prog
