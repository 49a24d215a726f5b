#include "programmer/transfers.h"

#include "programmer/programmer_link.h"

namespace programmer {

namespace {

void record(ProgrammerLink& link, const wire::ControlSetup& setup,
            std::span<const std::uint8_t> data, ViStatus status) {
    link.session.lastStatus = status;
    if (link.observer) link.observer->transferred({setup, data, status});
}

} // namespace

ViStatus transferOut(ProgrammerLink& link, ViSession vi, std::uint8_t request, std::uint16_t value,
                     std::uint16_t index, std::span<const std::uint8_t> data) {
    const wire::ControlSetup setup{wire::vendor_out, request, value, index,
                                   static_cast<std::uint16_t>(data.size())};
    const ViStatus status =
        viUsbControlOut(vi, setup.requestType, setup.request, setup.value, setup.index,
                        setup.length, data.empty() ? nullptr : data.data());
    record(link, setup, data, status);
    return status;
}

ViStatus transferIn(ProgrammerLink& link, ViSession vi, std::uint16_t value, std::uint16_t index,
                    std::span<std::uint8_t> reply, std::uint16_t& received) {
    const wire::ControlSetup setup{wire::vendor_in, wire::programmer_request, value, index,
                                   static_cast<std::uint16_t>(reply.size())};
    received = 0;
    const ViStatus status =
        viUsbControlIn(vi, setup.requestType, setup.request, setup.value, setup.index, setup.length,
                       reply.empty() ? nullptr : reply.data(), &received);
    if (received > reply.size()) received = static_cast<std::uint16_t>(reply.size());
    record(link, setup, reply.first(received), status);
    return status;
}

} // namespace programmer
