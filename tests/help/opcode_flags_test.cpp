// The flags table of every opcode page against the simulator: the flags a page calls changed
// are exactly those that executing its sample statements changes, over many operand values.
#include "help/opcode/instruction_forms.h"
#include "help/opcode/opcode_pages.h"
#include "isa/encode.h"
#include "simulator/chip.h"

#include <array>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr std::array<std::pair<help::Flag, std::uint8_t>, 4> chip_flags{{
    {help::signum, wire::flag_signum},
    {help::not_equal, wire::flag_not_equal},
    {help::overflow, wire::flag_overflow},
    {help::carry, wire::flag_carry},
}};

std::uint8_t chip_bits(unsigned note_flags) {
    std::uint8_t bits = 0;
    for (const auto& [flag, bit] : chip_flags)
        if (note_flags & flag) bits |= bit;
    return bits;
}

// Operand values from the edges of the 24-bit range as well as from anywhere in it.
std::uint32_t some_value(std::mt19937& random) {
    static constexpr std::array<std::uint32_t, 6> edges{0, 1, 0x7FFFFF, 0x800000, 0xFFFFFF, 2};
    const std::uint32_t any = random() & sim::Chip::value_mask;
    return random() % 3 == 0 ? edges[random() % edges.size()] : any;
}

// The flag bits that one execution of `bytes` changed, on a chip with random contents.
std::uint8_t changed_flags(const isa::Bytes& bytes, std::mt19937& random) {
    const sim::Faults faults;
    sim::Chip chip(faults);
    chip.powerReset();
    chip.loadProgram(std::span(bytes.data.data(), static_cast<std::size_t>(bytes.size)));
    for (std::uint8_t cell : {wire::reg_accu_x, wire::reg_accu_y, wire::reg_accu_z})
        chip.writeRegister(cell, some_value(random));
    chip.writeRegister(wire::reg_ram_pointer, (random() & 0xFF) << 7);
    chip.writeRegister(chip.ramAddress(), some_value(random));
    for (std::size_t cell = 0; cell < sim::UserEeprom::size; ++cell)
        chip.userEeprom().programCell(cell, static_cast<std::uint8_t>(random()));
    const std::uint8_t before = static_cast<std::uint8_t>(random() & 0xF0);
    chip.writeRegister(wire::reg_status, static_cast<std::uint32_t>(before) << 16);
    chip.step();
    return static_cast<std::uint8_t>(chip.flags() ^ before);
}

} // namespace

TEST(OpcodeFlags, PagesNameTheFlagsTheSimulatorChanges) {
    std::mt19937 random(71);
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        // A data word is no instruction, and the directive has no code.
        if (m.group == isa::Group::data_word || m.group == isa::Group::directive) continue;
        const help::OpcodeNote* note = help::note_for(help::opcode_notes(), m);
        ASSERT_NE(note, nullptr) << m.source;
        std::uint8_t changed = 0;
        for (const help::FormRow& row : help::form_rows(m)) {
            isa::Bytes bytes;
            ASSERT_EQ(isa::encode_bytes(row.sample, bytes), isa::EncodeStatus::ok) << m.source;
            for (int trial = 0; trial < 300; ++trial)
                changed |= changed_flags(bytes, random);
        }
        EXPECT_EQ(changed, chip_bits(note->flags)) << m.source;
    }
}
