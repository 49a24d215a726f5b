#include "simulator/transfer_log.h"

#include <cstdio>

namespace sim {

TransferLog::TransferLog(std::size_t capacity) : ring_(capacity == 0 ? 1 : capacity) {}

Transfer& TransferLog::append(Time time, const ControlSetup& setup) {
    std::size_t slot;
    if (count_ < ring_.size()) {
        slot = (first_ + count_) % ring_.size();
        ++count_;
    } else {
        slot = first_;
        first_ = (first_ + 1) % ring_.size();
        ++dropped_;
    }
    Transfer& t = ring_[slot];
    t.time = time;
    t.direction = setup.deviceToHost() ? Direction::in : Direction::out;
    t.requestType = setup.requestType;
    t.request = setup.request;
    t.value = setup.value;
    t.index = setup.index;
    t.length = setup.length;
    t.data.clear(); // keeps its capacity: no allocation once the ring has been round
    t.status = TransferStatus::ok;
    return t;
}

const Transfer& TransferLog::operator[](std::size_t i) const {
    return ring_[(first_ + i) % ring_.size()];
}

void TransferLog::clear() {
    first_ = 0;
    count_ = 0;
    dropped_ = 0;
}

std::vector<std::string> TransferLog::lines() const {
    std::vector<std::string> all;
    all.reserve(count_);
    for (std::size_t i = 0; i < count_; ++i)
        all.push_back(describe((*this)[i]));
    return all;
}

const char* toString(TransferStatus status) {
    switch (status) {
    case TransferStatus::ok:
        return "ok";
    case TransferStatus::stalled:
        return "stalled";
    case TransferStatus::timed_out:
        return "timed out";
    case TransferStatus::no_device:
        return "no device";
    }
    return "?";
}

std::string describe(const Transfer& t) {
    char head[48];
    if (t.direction == Direction::in) {
        std::snprintf(head, sizeof head, "IN %02X %04X %04X len %u [", t.request, t.value, t.index,
                      t.length);
    } else {
        std::snprintf(head, sizeof head, "OUT %02X %04X %04X [", t.request, t.value, t.index);
    }
    std::string line = head;
    for (std::size_t i = 0; i < t.data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", t.data[i]);
        line += byte;
    }
    line += ']';
    if (t.status != TransferStatus::ok) {
        line += ' ';
        line += toString(t.status);
    }
    return line;
}

std::string describeWithTime(const Transfer& t) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%10.3f ms  ", static_cast<double>(t.time.count()) / 1000.0);
    return stamp + describe(t);
}

} // namespace sim
