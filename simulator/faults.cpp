#include "simulator/faults.h"

#include <algorithm>
#include <charconv>

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
    cable_countdown_.reset();
}

bool Faults::takeCablePull() {
    if (!cable_countdown_) return false;
    if (*cable_countdown_ > 0) {
        --*cable_countdown_;
        return false;
    }
    cable_countdown_.reset();
    return true;
}

std::optional<Failure> Faults::takeFailure(const ControlSetup& setup) {
    if (failures_.empty()) return std::nullopt;
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (it->command && *it->command != setup.value) continue;
        const Failure failure = it->failure;
        if (it->remaining != always && --it->remaining == 0) failures_.erase(it);
        return failure;
    }
    return std::nullopt;
}

std::uint32_t Faults::filterSlow(Memory memory, std::uint32_t address, std::uint32_t value) const {
    for (const Corruption& c : corruptions_)
        if (c.memory == memory && c.address == address) value ^= c.mask;
    return value;
}

namespace {

std::optional<std::uint32_t> number(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<Memory> memoryNamed(std::string_view name) {
    if (name == "registers") return Memory::registers;
    if (name == "spi") return Memory::spi_eeprom;
    if (name == "otp") return Memory::otp;
    if (name == "program") return Memory::program_memory;
    return std::nullopt;
}

// Splits `text` at the first `separator`: the part before it, `text` keeps the rest.
std::string_view takeUntil(std::string_view& text, char separator) {
    const std::size_t at = text.find(separator);
    const std::string_view part = text.substr(0, at);
    text.remove_prefix(at == std::string_view::npos ? text.size() : at + 1);
    return part;
}

bool addFailure(std::string_view value, Failure failure, Faults& faults) {
    const std::string_view code_text = takeUntil(value, '*');
    const auto code = number(code_text);
    const auto times = value.empty() ? std::optional<std::uint32_t>(0) : number(value);
    if (!code || *code > 0xFFFF || !times || *times > 1000000 || (!value.empty() && *times == 0))
        return false;
    faults.failCommand(static_cast<std::uint16_t>(*code), failure,
                       *times == 0 ? Faults::always : static_cast<int>(*times));
    return true;
}

bool addCorruption(std::string_view value, Faults& faults) {
    const auto memory = memoryNamed(takeUntil(value, ':'));
    const auto address = number(takeUntil(value, ':'));
    const auto mask = number(value);
    if (!memory || !address || !mask) return false;
    faults.corruptRead(*memory, *address, *mask);
    return true;
}

bool addFault(std::string_view item, Faults& faults) {
    if (item.starts_with("unplug@")) {
        const auto transfer = number(item.substr(7));
        if (transfer) faults.pullCableAfter(*transfer);
        return transfer.has_value();
    }
    const std::string_view name = takeUntil(item, '=');
    if (name == "stall") return addFailure(item, Failure::stall, faults);
    if (name == "timeout") return addFailure(item, Failure::timeout, faults);
    if (name == "corrupt") return addCorruption(item, faults);
    return false;
}

} // namespace

bool parseFaults(std::string_view text, Faults& faults, std::string& problem) {
    Faults parsed = faults;
    while (!text.empty()) {
        const std::string_view item = takeUntil(text, ',');
        if (!addFault(item, parsed)) {
            problem = "KZ71_SIM_FAULTS: '" + std::string(item) +
                      "' is not unplug@N, stall=CODE[*K], timeout=CODE[*K] or "
                      "corrupt=MEMORY:ADDRESS:MASK";
            return false;
        }
    }
    faults = std::move(parsed);
    return true;
}

} // namespace sim
