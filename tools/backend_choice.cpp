#include "backend_choice.h"

#include "programmer/backend_table.h"
#include "programmer/libusb_backend.h"
#include "simulator/sim_backend.h"

namespace kz71prog {

bool chooseBackend(bool simulator, std::string& error) {
    programmer::registerBackend("usb", programmer::makeLibusbBackend);
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    return programmer::selectBackend(simulator ? "sim" : "usb", error);
}

} // namespace kz71prog
