// The trace of the programmer link, one line per control transfer and one per pause:
//   OUT 40 B0 wValue=0055 wIndex=0000 data=- status=0
//   IN C0 B0 wValue=0040 wIndex=00F0 wLength=3 data=AA 55 66 status=0
//   WAIT 6 ms
// Hexadecimal in capitals; data bytes (sent, or received for IN) separated by single blanks, "-"
// for none; status is the VISA status as a signed decimal number (0 = success).
#pragma once

#include "protocol/clock.h"
#include "programmer/transfers.h"

#include <functional>
#include <string>

namespace programmer {

std::string traceLine(const TransferRecord& transfer);
// Whole milliseconds as "WAIT 6 ms", anything finer with three decimals ("WAIT 0.250 ms").
std::string traceLine(kz71::Clock::Duration pause);

// A clock that tells about every pause of the host before making it on the clock it wraps.
class PauseTracingClock final : public kz71::Clock {
public:
    using Listener = std::function<void(Duration)>;

    PauseTracingClock(kz71::Clock& inner, Listener listener)
        : inner_(inner), listener_(std::move(listener)) {}

    Duration now() const override { return inner_.now(); }
    void sleep(Duration length) override {
        if (listener_) listener_(length);
        inner_.sleep(length);
    }
    void spend(Duration length) override { inner_.spend(length); }

private:
    kz71::Clock& inner_;
    Listener listener_;
};

} // namespace programmer
