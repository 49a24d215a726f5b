// A simulator on a virtual clock with helpers that speak the programmer's wire protocol.
#pragma once

#include "protocol/command_codes.h"
#include "simulator/simulator.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace sim_test {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

struct WireRig {
    explicit WireRig(sim::SimConfig config = {})
        : clock(std::make_shared<kz71::VirtualClock>()), sim(std::move(config), clock) {}

    std::uint32_t device() const { return sim.devices().at(0).id; }

    sim::TransferStatus out(std::uint16_t command, std::uint16_t index = 0, Bytes data = {}) {
        const sim::ControlSetup setup{wire::vendor_out, wire::programmer_request, command, index,
                                      static_cast<std::uint16_t>(data.size())};
        return sim.control(device(), setup, data, {}).status;
    }

    // An IN transfer; the reply holds what came back.
    Bytes in(std::uint16_t command, std::uint16_t index, std::uint16_t length,
             sim::TransferStatus* status = nullptr) {
        Bytes reply(length);
        const sim::ControlSetup setup{wire::vendor_in, wire::programmer_request, command, index,
                                      length};
        const sim::TransferResult result = sim.control(device(), setup, {}, reply);
        reply.resize(result.received);
        if (status) *status = result.status;
        return reply;
    }

    void writeRegister(std::uint8_t number, std::uint32_t value) {
        out(wire::write_register, number,
            {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value)});
    }
    std::uint32_t readRegister(std::uint8_t number) {
        const Bytes r = in(wire::read_register, number, 3);
        return r.size() == 3 ? (std::uint32_t{r[0]} << 16) | (r[1] << 8) | r[2] : 0xDEADBEEF;
    }

    // The SPI write sequence of the download: write enable, write, address, bytes, deselect.
    void spiWrite(std::uint16_t address, const Bytes& bytes) {
        out(wire::spi_select_send, 0x06);
        out(wire::spi_deselect);
        out(wire::spi_select_send, 0x02);
        out(wire::spi_send_byte, address >> 8);
        out(wire::spi_send_byte, address & 0xFF);
        for (std::uint8_t b : bytes)
            out(wire::spi_send_byte, b);
        out(wire::spi_deselect);
    }
    Bytes spiRead(std::uint16_t address, std::size_t count) {
        out(wire::spi_select_send, 0x03);
        out(wire::spi_send_byte, address >> 8);
        out(wire::spi_send_byte, address & 0xFF);
        Bytes bytes;
        for (std::size_t i = 0; i < count; ++i)
            bytes.push_back(in(wire::spi_read_byte, 0, 1).at(0));
        out(wire::spi_deselect);
        return bytes;
    }

    std::shared_ptr<kz71::VirtualClock> clock;
    sim::Simulator sim;
};

} // namespace sim_test
