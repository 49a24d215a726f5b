#include "clock.h"

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

Clock* current = nullptr;

} // namespace

void setClock(Clock* c) {
    current = c;
}

Clock& clock() {
    static SteadyClock steady;
    return current ? *current : steady;
}

} // namespace ide
