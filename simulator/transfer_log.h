// Every control transfer the simulated bus carried, oldest first: time, direction, setup fields,
// data (sent or received) and how it ended. Tests read it to check exact wire sequences; it keeps
// the newest `capacity` transfers so that a long debug run cannot exhaust memory.
#pragma once

#include "simulator/usb_device.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

enum class Direction : std::uint8_t { out, in };

struct Transfer {
    Time time{0};
    Direction direction = Direction::out;
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;       // wLength
    std::vector<std::uint8_t> data; // sent (OUT) or received (IN)
    TransferStatus status = TransferStatus::ok;
};

class TransferLog {
public:
    static constexpr std::size_t default_capacity = std::size_t{1} << 16;

    explicit TransferLog(std::size_t capacity = default_capacity);

    // Starts a new entry (dropping the oldest when full) and returns it for filling in.
    Transfer& append(Time time, const ControlSetup& setup);

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Transfer i, counted from the oldest kept.
    const Transfer& operator[](std::size_t i) const;
    const Transfer& back() const { return (*this)[count_ - 1]; }
    // Number of transfers dropped because the log was full.
    std::uint64_t dropped() const { return dropped_; }
    void clear();

    // One line per transfer, without time stamps, e.g. "OUT B0 0000 00F0 [AA 55 66]".
    std::vector<std::string> lines() const;

private:
    std::vector<Transfer> ring_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    std::uint64_t dropped_ = 0;
};

// "OUT B0 0000 00F0 [AA 55 66]": direction, bRequest, wValue, wIndex, data; an IN transfer adds
// its wLength ("IN B0 0040 0047 len 3 [80 21 34]"); a failed one its status ("stalled").
std::string describe(const Transfer& transfer);
// The same line behind the time stamp in milliseconds ("1234.567 ms  OUT ...").
std::string describeWithTime(const Transfer& transfer);
const char* toString(TransferStatus status);

} // namespace sim
