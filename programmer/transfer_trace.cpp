#include "programmer/transfer_trace.h"

#include <cstdio>

namespace programmer {

std::string traceLine(const TransferRecord& transfer) {
    const wire::ControlSetup& setup = transfer.setup;
    char text[96];
    std::snprintf(text, sizeof text, "%s %02X %02X wValue=%04X wIndex=%04X",
                  setup.deviceToHost() ? "IN" : "OUT", setup.requestType, setup.request,
                  setup.value, setup.index);
    std::string line = text;
    if (setup.deviceToHost()) line += " wLength=" + std::to_string(setup.length);
    line += " data=";
    if (transfer.data.empty()) line += "-";
    for (std::size_t i = 0; i < transfer.data.size(); ++i) {
        std::snprintf(text, sizeof text, i == 0 ? "%02X" : " %02X", transfer.data[i]);
        line += text;
    }
    line += " status=" + std::to_string(transfer.status);
    return line;
}

std::string traceLine(kz71::Clock::Duration pause) {
    const auto micros = pause.count();
    if (micros % 1000 == 0) return "WAIT " + std::to_string(micros / 1000) + " ms";
    char text[48];
    std::snprintf(text, sizeof text, "WAIT %.3f ms", static_cast<double>(micros) / 1000.0);
    return text;
}

} // namespace programmer
