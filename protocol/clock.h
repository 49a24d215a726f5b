// Time as the kit sees it. The product runs on the steady clock; tests and benchmarks run on a
// virtual clock, so that a 1000 ms pause costs nothing yet is still measured and checked.
#pragma once

#include <chrono>
#include <memory>
#include <thread>

namespace kz71 {

class Clock {
public:
    // Time since the clock started, and lengths of time, in microseconds.
    using Duration = std::chrono::microseconds;

    virtual ~Clock() = default;

    virtual Duration now() const = 0;

    // A pause of the host program: blocks on the steady clock, advances a virtual clock.
    virtual void sleep(Duration length) = 0;

    // Time that modelled hardware spends on its own work (a USB transfer, a memory cycle).
    // A virtual clock advances by it; on the steady clock real time passes by itself.
    virtual void spend(Duration length) = 0;
};

class SteadyClock final : public Clock {
public:
    Duration now() const override {
        return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now() - start_);
    }
    void sleep(Duration length) override {
        if (length > Duration::zero()) std::this_thread::sleep_for(length);
    }
    void spend(Duration) override {}

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class VirtualClock final : public Clock {
public:
    Duration now() const override { return now_; }
    void sleep(Duration length) override { advance(length); }
    void spend(Duration length) override { advance(length); }

    void advance(Duration length) {
        if (length > Duration::zero()) now_ += length;
    }

private:
    Duration now_{0};
};

// The one steady clock of the process.
inline std::shared_ptr<Clock> steadyClock() {
    static const std::shared_ptr<Clock> clock = std::make_shared<SteadyClock>();
    return clock;
}

} // namespace kz71
