// A programmer without firmware: a bare loader (model 0x100A) whose vendor request 0xA0 writes
// (and reads) its 64 KB memory at the address in wValue. Writing the CPU control byte at 0xE600
// with bit 0 clear starts the loaded firmware: the loader leaves the bus and the programmer
// appears in its place. With bit 0 set the CPU is held and the loader stays.
#pragma once

#include "simulator/usb_device.h"

#include <cstdint>
#include <vector>

namespace sim {

class LoaderDevice final : public UsbDevice {
public:
    static constexpr std::size_t memory_size = 0x10000;

    LoaderDevice() : memory_(memory_size, 0) {}

    std::uint16_t model() const override;
    TransferResult control(const ControlSetup& setup, std::span<const std::uint8_t> out,
                           std::span<std::uint8_t> in, Time now) override;

    // Whether the loaded firmware was started (the device re-enumerates as the programmer).
    bool started() const { return started_; }
    // Bytes of firmware written so far (every byte but the CPU control byte).
    std::size_t bytesLoaded() const { return bytes_loaded_; }
    const std::vector<std::uint8_t>& memory() const { return memory_; }

private:
    std::vector<std::uint8_t> memory_;
    std::size_t bytes_loaded_ = 0;
    bool started_ = false;
};

} // namespace sim
