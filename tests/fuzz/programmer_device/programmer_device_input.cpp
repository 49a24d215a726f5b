// Fuzz entry point: the simulated programmer (and, before its firmware runs, the loader) fed
// arbitrary control requests, with the cable pulled and plugged in between, time passing, and
// the chip executing whatever program the requests put into its memories.
//
// Input: one byte of configuration, then operations. An operation byte 0xF8 and above pulls or
// plugs the cable, lets time pass, or writes the memories to a state text and reads them back (once
// an input); any other is a control transfer: its bits choose the direction and the request, then
// follow the command code (mostly one the programmer knows), wIndex, wLength and, for an OUT
// transfer, its data.
#include "fuzz_check.h"
#include "protocol/command_codes.h"
#include "simulator/simulator.h"
#include "simulator/state_file.h"

#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

namespace {

// The command of a transfer: mostly one the programmer knows, the SPI and step commands, which
// make the board and the CPU do most, twice as often.
std::uint16_t knownCommand(std::uint8_t choice) {
    constexpr std::uint16_t favourites[] = {wire::spi_send_byte, wire::spi_select_send,
                                            wire::single_step, wire::write_otp_byte,
                                            wire::loader_cpu_control};
    constexpr std::size_t known = std::size(wire::all_commands);
    if (choice % (known + std::size(favourites)) < known) return wire::all_commands[choice % known];
    return favourites[choice % std::size(favourites)];
}

class Input {
public:
    explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool empty() const { return at_ >= bytes_.size(); }
    std::uint8_t byte() { return empty() ? 0 : bytes_[at_++]; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
    std::span<const std::uint8_t> take(std::size_t count) {
        const std::size_t n = std::min(count, bytes_.size() - std::min(at_, bytes_.size()));
        const auto part = bytes_.subspan(at_, n);
        at_ += n;
        return part;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

sim::SimConfig configOf(std::uint8_t flags) {
    sim::SimConfig config;
    config.start_as_loader = (flags & 0x01) != 0;
    config.board_switch = static_cast<sim::BoardSwitch>((flags >> 1) % 3);
    config.programmer_model = flags & 0x08 ? wire::programmer_model : wire::programmer_model_alt;
    config.log_capacity = 64;
    return config;
}

// The memories written to a state file read back into a fresh board as they were.
void checkStateRoundTrip(sim::Simulator& simulator) {
    const std::string text = sim::serializeState(simulator.board());
    sim::Faults faults;
    sim::Board board(faults, sim::BoardSwitch::follows_programmer, 0x20);
    std::string problem;
    FUZZ_CHECK(sim::parseState(text, board, problem));
    FUZZ_CHECK(sim::serializeState(board) == text);
}

void transfer(sim::Simulator& simulator, Input& input, std::uint8_t op) {
    wire::ControlSetup setup;
    setup.requestType = op & 0x01 ? wire::vendor_in : wire::vendor_out;
    if (op & 0x02) setup.requestType = input.byte();
    setup.request = op & 0x04 ? input.byte()
                              : (op & 0x08 ? wire::loader_write_request : wire::programmer_request);
    setup.value = op & 0x10 ? input.word() : knownCommand(input.byte());
    setup.index = op & 0x20 ? input.word() : input.byte();
    setup.length = op & 0x40 ? input.word() % 600 : input.byte() % 8;
    std::vector<std::uint8_t> in(setup.deviceToHost() ? setup.length : 0);
    const auto out =
        setup.deviceToHost() ? std::span<const std::uint8_t>{} : input.take(setup.length);
    const std::uint32_t id = simulator.devices().empty() ? 0 : simulator.devices().front().id;
    const sim::TransferResult result = simulator.control(id, setup, out, in);
    FUZZ_CHECK(result.received <= in.size());
    const sim::Transfer& logged = simulator.log().back();
    FUZZ_CHECK(logged.value == setup.value && logged.index == setup.index);
    FUZZ_CHECK(logged.data.size() == (setup.deviceToHost() ? result.received : out.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input({data, size});
    const auto clock = std::make_shared<kz71::VirtualClock>();
    sim::Simulator simulator(configOf(input.byte()), clock);
    bool roundTripped = false;
    while (!input.empty()) {
        const std::uint8_t op = input.byte();
        switch (op) {
        case 0xFF:
            simulator.unplug();
            break;
        case 0xFE:
            simulator.plug();
            break;
        case 0xFD: // costly: once an input
            if (!roundTripped) checkStateRoundTrip(simulator);
            roundTripped = true;
            break;
        case 0xFC:
            clock->advance(std::chrono::milliseconds(input.byte() * 8));
            break;
        case 0xFB:
        case 0xFA:
        case 0xF9:
        case 0xF8:
            clock->advance(std::chrono::microseconds(input.word()));
            break;
        default:
            transfer(simulator, input, op);
        }
    }
    FUZZ_CHECK(simulator.log().size() <= 64);
    return 0;
}
