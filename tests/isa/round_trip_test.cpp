// Every mnemonic and every operand form through encode and decode.
#include "isa/decode.h"
#include "isa/encode.h"
#include "isa/mnemonics.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

using isa::Instruction;
using isa::Operand;
using isa::OperandKind;

// Values worth trying in one operand position of one form: every accumulator, the ends of
// the number range and the values where a field changes width, and jump targets at the
// edges of the short reach and of the code space.
std::vector<Operand> candidates(OperandKind kind, const isa::Slot& slot, int address) {
    std::vector<Operand> result;
    switch (kind) {
    case OperandKind::none:
        result.push_back({});
        break;
    case OperandKind::accumulator:
        for (int a = isa::acc_x; a <= isa::acc_r; ++a)
            result.push_back(Operand::accu(a));
        break;
    case OperandKind::number:
        for (long v : {0L, 1L, 2L, 3L, 7L, 8L, 15L, 16L, 23L, 63L, 64L, 127L, 128L, 255L, 0xFFFFL,
                       0x10000L, 0xFFFFFEL, 0xFFFFFFL})
            if (v >= slot.min && v <= slot.max) result.push_back(Operand::number(int(v)));
        break;
    case OperandKind::label:
        for (int d : {-129, -128, -127, -126, -1, 0, 1, 2, 127, 128, 129, 130})
            result.push_back(Operand::target(address + d));
        for (int t : {0, 1, 0x0ABC, 0x1FFE, isa::max_code_address})
            result.push_back(Operand::target(t));
        break;
    }
    return result;
}

// Every statement of one form that the encoder accepts, at a few addresses.
std::vector<Instruction> statements_of(const isa::Mnemonic& m, const isa::Form& form) {
    std::vector<Instruction> result;
    const auto kinds = isa::layout_kinds(form.layout);
    for (int address : {0, 0x200, 0x1F80}) {
        for (const Operand& a : candidates(kinds[0], m.rules.positions[0], address))
            for (const Operand& b : candidates(kinds[1], m.rules.positions[1], address))
                for (const Operand& c : candidates(kinds[2], m.rules.positions[2], address)) {
                    Instruction in{m.number, {a, b, c}, isa::layout_size(form.layout), address};
                    isa::Bytes bytes;
                    if (isa::encode_bytes(in, bytes) == isa::EncodeStatus::ok) result.push_back(in);
                }
    }
    return result;
}

std::vector<std::uint8_t> code_of(const Instruction& in) {
    isa::Bytes bytes;
    isa::encode_bytes(in, bytes);
    return {bytes.data.begin(), bytes.data.begin() + bytes.size};
}

TEST(RoundTrip, EveryFormOfEveryMnemonic) {
    int forms_tried = 0;
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        for (const isa::Form& form : m.forms) {
            if (form.layout == isa::Layout::none) continue;
            ++forms_tried;
            const std::vector<Instruction> statements = statements_of(m, form);
            ASSERT_FALSE(statements.empty()) << m.source;
            if (form.layout == isa::Layout::data_word) continue; // data, not an instruction
            for (const Instruction& in : statements) {
                const std::vector<std::uint8_t> code = code_of(in);
                const isa::Decoded out = isa::decode(code, in.address);
                ASSERT_TRUE(out.ok()) << m.source << " at " << in.address;
                EXPECT_EQ(code_of(out.instruction), code) << m.source;
                if (in.opcode == isa::op_swap || in.opcode == isa::op_addepr) continue;
                EXPECT_EQ(out.instruction, in) << m.source << " at " << in.address;
            }
        }
    }
    EXPECT_EQ(forms_tried, 95); // 81 mnemonics, 10 without code, 24 with two forms
}

TEST(RoundTrip, JumpsOnBothSidesOfTheShortReach) {
    // goto at 0x200: the displacement byte at 0x201 reaches 0x181..0x280.
    auto decoded_target = [](int opcode, int size, int address, int target) {
        const Instruction in{opcode, {Operand::target(target)}, size, address};
        return isa::jump_target(isa::decode(code_of(in), address).instruction);
    };
    EXPECT_EQ(decoded_target(isa::op_goto, 2, 0x200, 0x181), 0x181);
    EXPECT_EQ(decoded_target(isa::op_goto, 2, 0x200, 0x280), 0x280);
    EXPECT_EQ(decoded_target(isa::op_gotoNeg, 3, 0x200, 0x1FFF), 0x1FFF);
    EXPECT_EQ(decoded_target(isa::op_jsub, 3, 0x1000, 0), 0);
    EXPECT_TRUE(isa::short_jump_reaches(isa::op_goto, 0x200, 0x200 + 127));
    EXPECT_FALSE(isa::short_jump_reaches(isa::op_goto, 0x200, 0x200 + 128));
    EXPECT_TRUE(isa::short_jump_reaches(isa::op_gotoEQ, 0x200, 0x200 - 127));
    EXPECT_FALSE(isa::short_jump_reaches(isa::op_gotoEQ, 0x200, 0x200 - 128));
    EXPECT_TRUE(isa::short_jump_reaches(isa::op_gotoBitS, 0x200, 0x200 - 126));
    EXPECT_FALSE(isa::short_jump_reaches(isa::op_gotoBitS, 0x200, 0x200 - 127));
    EXPECT_FALSE(isa::short_jump_reaches(isa::op_gotoBitC, 0x200, 0x200 + 128));
    EXPECT_FALSE(isa::short_jump_reaches(isa::op_jsub, 0x200, 0x201));
}

TEST(RoundTrip, BytesWithMoreThanOneReading) {
    const Operand y = Operand::accu(isa::acc_y), z = Operand::accu(isa::acc_z);
    // 0x25 would be add y, y in the accumulator form; the chip reads add y, k.
    const std::vector<std::uint8_t> add_y_then_constant{0x25, 0x00, 0x01, 0x02};
    const isa::Decoded add = isa::decode(add_y_then_constant, 0);
    ASSERT_TRUE(add.ok());
    EXPECT_EQ(add.instruction, (Instruction{isa::op_add, {y, Operand::number(0x102)}, 4, 0}));
    // swap is written with the x or y operand first.
    const isa::Decoded swap = isa::decode(code_of({isa::op_swap, {z, y}, 1, 0}), 0);
    EXPECT_EQ(swap.instruction.operands, (isa::Operands{y, z, Operand{}}));
    // The self-swaps of z and r are nop.
    EXPECT_EQ(isa::decode(code_of({isa::op_swap, {z, z}, 1, 0}), 0).instruction.opcode,
              isa::op_nop);
    // addepr does not keep its accumulator.
    const isa::Decoded addepr = isa::decode(code_of({isa::op_addepr, {z}, 2, 0}), 0);
    EXPECT_EQ(addepr.instruction.operands[0], Operand::accu(isa::acc_x));
    // equal is data: 0xC8 0x00 0x00 reads as clrC, nop, nop.
    const std::vector<std::uint8_t> word =
        code_of({isa::op_equal, {Operand::number(0xC80000)}, 3, 0});
    EXPECT_EQ(isa::decode(word, 0).instruction.opcode, isa::op_clrC);
}

} // namespace
