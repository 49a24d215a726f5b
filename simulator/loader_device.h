// A programmer without firmware: a bare loader (model 0x100A) whose vendor request 0xA0 writes
// (and reads) its 64 KB memory at the address in wValue. Writing the CPU control byte at 0xE600
// with bit 0 clear starts the CPU: when the memory holds a complete, well-formed firmware image
// (simulator/firmware_image.h) the firmware runs, the loader leaves the bus and the programmer
// appears in its place; otherwise the loader refuses to start and stays, and problem() says
// why. With bit 0 set the CPU is held and the loader stays.
#pragma once

#include "simulator/firmware_image.h"
#include "simulator/usb_device.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class LoaderDevice final : public UsbDevice {
public:
    static constexpr std::size_t memory_size = loader_memory_size;

    LoaderDevice() : memory_(memory_size, 0) {}

    std::uint16_t model() const override;
    TransferResult control(const ControlSetup& setup, std::span<const std::uint8_t> out,
                           std::span<std::uint8_t> in, Time now) override;

    // Whether the loaded firmware was started (the device re-enumerates as the programmer).
    bool started() const { return started_; }
    // Bytes of firmware written so far (every byte but the CPU control byte).
    std::size_t bytesLoaded() const { return bytes_loaded_; }
    const std::vector<std::uint8_t>& memory() const { return memory_; }
    // Why the last start was refused ("" before any refusal), and how many were.
    const std::string& problem() const { return problem_; }
    std::size_t refusedStarts() const { return refused_starts_; }

private:
    void write(std::size_t address, std::span<const std::uint8_t> data);
    void startCpu();

    std::vector<std::uint8_t> memory_;
    WrittenBytes written_;
    std::size_t bytes_loaded_ = 0;
    bool started_ = false;
    std::string problem_;
    std::size_t refused_starts_ = 0;
};

} // namespace sim
