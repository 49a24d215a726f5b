// The steady clock for the host's pauses towards the programmer. A plain sleep of 1 ms wakes up
// 50 to 100 µs late on a desktop system, and a download makes thousands of such pauses (one
// per byte read back). This clock sleeps to shortly before the deadline and yields the last
// stretch away, so a pause lasts what it must and hardly more. A pause is never shorter.
#pragma once

#include "protocol/clock.h"

#include <chrono>
#include <thread>

namespace programmer {

class PreciseSteadyClock final : public kz71::Clock {
public:
    // How long before the deadline the sleep ends and the yielding begins.
    static constexpr Duration wake_margin = std::chrono::microseconds(200);

    Duration now() const override {
        return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now() - start_);
    }
    void sleep(Duration length) override {
        if (length <= Duration::zero()) return;
        const auto deadline = std::chrono::steady_clock::now() + length;
        if (length > wake_margin) std::this_thread::sleep_until(deadline - wake_margin);
        while (std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    void spend(Duration) override {}

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace programmer
