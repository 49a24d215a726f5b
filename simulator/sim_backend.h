// The simulated programmer as a USB backend: the devices of the process-wide simulator
// (sim::simulator()), offered to the VISA-shaped layer under the name "sim" by the programs that
// link it.
#pragma once

#include "protocol/usb_backend.h"

#include <memory>

namespace sim {

// Transfers on the simulated bus become VISA statuses: a stalled request VI_ERROR_IO, one that
// timed out VI_ERROR_TMO after the time-out has passed on the simulator's clock, one to a device
// that left the bus VI_ERROR_CONN_LOST. Closing a device fails with VI_ERROR_IO when the
// simulator cannot keep its memories in its state file (simulator().stateProblem() says why).
std::unique_ptr<protocol::UsbBackend> makeSimulatorBackend();

} // namespace sim
