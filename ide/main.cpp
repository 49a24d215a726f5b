// KZ71 Assembler: the IDE of the KZ71 development kit.
#include "app/startup.h"
#include "programmer/backend_table.h"
#include "programmer/libusb_backend.h"
#include "simulator/sim_backend.h"

int main(int argc, char** argv) {
    programmer::registerBackend("usb", programmer::makeLibusbBackend);
    programmer::registerBackend("sim", sim::makeSimulatorBackend);
    return ide::runIde(argc, argv);
}
