// The USB backend for real devices: libusb-1.0. It lists the devices with a vendor-specific
// interface (VISA's USB RAW class), claims that interface on open and makes control transfers.
// A machine without USB access finds nothing.
#pragma once

#include "protocol/usb_backend.h"

#include <memory>

namespace programmer {

std::unique_ptr<protocol::UsbBackend> makeLibusbBackend();

} // namespace programmer
