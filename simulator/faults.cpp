#include "simulator/faults.h"

#include <algorithm>

namespace sim {

void Faults::failCommand(std::uint16_t command, Failure failure, int times) {
    if (times == 0) return;
    failures_.push_back({command, failure, times});
}

void Faults::failNextTransfers(Failure failure, int times) {
    if (times <= 0) return;
    failures_.push_back({std::nullopt, failure, times});
}

void Faults::corruptRead(Memory memory, std::uint32_t address, std::uint32_t mask) {
    corruptions_.push_back({memory, address, mask});
}

void Faults::clear() {
    failures_.clear();
    corruptions_.clear();
    held_ = false;
}

std::optional<Failure> Faults::takeFailure(const ControlSetup& setup) {
    if (failures_.empty()) return std::nullopt;
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (it->command && *it->command != setup.value) continue;
        const Failure failure = it->failure;
        if (it->remaining != forever && --it->remaining == 0) failures_.erase(it);
        return failure;
    }
    return std::nullopt;
}

std::uint32_t Faults::filterSlow(Memory memory, std::uint32_t address, std::uint32_t value) const {
    for (const Corruption& c : corruptions_)
        if (c.memory == memory && c.address == address) value ^= c.mask;
    return value;
}

} // namespace sim
