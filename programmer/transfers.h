// The one place where the programmer link makes its USB control transfers: every command of the
// command set and every loader write passes here, so that the last status is kept and a trace
// (kz71prog --trace) sees each transfer exactly as it went over the wire.
#pragma once

#include "protocol/command_codes.h"
#include "programmer/visa.h"

#include <cstdint>
#include <span>

namespace programmer {

struct ProgrammerLink;

// One transfer as made: the setup, the data sent (OUT) or received (IN), and its VISA status.
struct TransferRecord {
    wire::ControlSetup setup;
    std::span<const std::uint8_t> data;
    ViStatus status = VI_SUCCESS;
};

class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void transferred(const TransferRecord& transfer) = 0;
};

// A host-to-device transfer on `vi` with `data` as its data stage (wLength = its size).
ViStatus transferOut(ProgrammerLink& link, ViSession vi, std::uint8_t request, std::uint16_t value,
                     std::uint16_t index, std::span<const std::uint8_t> data);

// A device-to-host transfer on `vi` asking for `reply.size()` bytes; `received` is how many came.
ViStatus transferIn(ProgrammerLink& link, ViSession vi, std::uint16_t value, std::uint16_t index,
                    std::span<std::uint8_t> reply, std::uint16_t& received);

} // namespace programmer
