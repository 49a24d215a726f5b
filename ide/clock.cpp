#include "clock.h"

#include "replaceable.h"

#include <thread>

namespace ide {
namespace {

class SteadyClock : public Clock {
public:
    std::chrono::milliseconds now() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void sleepFor(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
};

Replaceable<Clock, SteadyClock>& service() {
    static Replaceable<Clock, SteadyClock> instance;
    return instance;
}

} // namespace

void setClock(Clock* c) {
    service().set(c);
}

Clock& clock() {
    return service().get();
}

} // namespace ide
