// Time for waits and time-outs: the steady clock in the program, a virtual clock in tests.
#pragma once

#include <chrono>

namespace ide {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::milliseconds now() = 0;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

// Replaces the steady clock (tests); nullptr restores it.
void setClock(Clock* clock);
Clock& clock();

} // namespace ide
