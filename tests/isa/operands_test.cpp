// The operand rules and sizes the assembler's checks apply.
#include "isa/mnemonics.h"
#include "isa/operands.h"

#include <gtest/gtest.h>

namespace {

using isa::Operand;

const Operand x = Operand::accu(isa::acc_x), none{};

Operand n(int value) {
    return Operand::number(value);
}

TEST(OperandRules, FirstSizesFollowTheOperands) {
    EXPECT_EQ(isa::initial_size(isa::op_add, {x, x}), 1);
    EXPECT_EQ(isa::initial_size(isa::op_add, {x, n(5)}), 4);
    EXPECT_EQ(isa::initial_size(isa::op_add, {x, none}), 4); // failed check still sized
    EXPECT_EQ(isa::initial_size(isa::op_eorn, {x, x}), 2);
    EXPECT_EQ(isa::initial_size(isa::op_eorn, {x, n(5)}), 5);
    EXPECT_EQ(isa::initial_size(isa::op_shiftL, {x}), 1);
    EXPECT_EQ(isa::initial_size(isa::op_shiftL, {x, n(3)}), 2);
    EXPECT_EQ(isa::initial_size(isa::op_rotL, {x, n(0)}), 2);
    EXPECT_EQ(isa::initial_size(isa::op_rotL, {x, x}), 1);
    EXPECT_EQ(isa::initial_size(isa::op_ramadr, {n(63)}), 1);
    EXPECT_EQ(isa::initial_size(isa::op_ramadr, {n(64)}), 2);
    EXPECT_EQ(isa::initial_size(isa::op_bitset, {x, n(23)}), 2);
    EXPECT_EQ(isa::initial_size(isa::op_putepr, {x}), 4);
    EXPECT_EQ(isa::initial_size(isa::op_equal, {n(1)}), 3);
    EXPECT_EQ(isa::initial_size(isa::op_goto, {}), 2);
    EXPECT_EQ(isa::initial_size(isa::op_gotoBitS, {}), 3);
    EXPECT_EQ(isa::initial_size(isa::op_jsub, {}), 3);
    EXPECT_EQ(isa::initial_size(isa::op_skipBitC, {}), 2);
    EXPECT_EQ(isa::initial_size(isa::op_clk4mhz, {}), 2);
    EXPECT_EQ(isa::initial_size(isa::op_usrEprInit, {n(5), n(10)}), 0);
    EXPECT_EQ(isa::initial_size(isa::op_add48r, {x}), 0);
    EXPECT_EQ(isa::initial_size(81, {}), 0);
    EXPECT_EQ(isa::long_size(isa::op_gotoPos), 3);
    EXPECT_EQ(isa::long_size(isa::op_jsub), 3);
    EXPECT_EQ(isa::long_size(isa::op_gotoBitC), 0);
}

TEST(OperandRules, RangesAndCountsOfTheChecks) {
    auto slot = [](int opcode, int position) {
        return isa::operand_rules(opcode).positions[position];
    };
    EXPECT_FALSE(slot(isa::op_add, 1).in_range(0x1000000));
    EXPECT_FALSE(slot(isa::op_add, 1).in_range(-1));
    EXPECT_TRUE(slot(isa::op_add, 1).in_range(0xFFFFFF));
    EXPECT_FALSE(slot(isa::op_bitset, 1).in_range(24));
    EXPECT_FALSE(slot(isa::op_skip, 0).in_range(4));
    EXPECT_EQ(slot(isa::op_skip, 0).min, 1u); // skip 0: "parameter can not be zero"
    EXPECT_EQ(slot(isa::op_skipBitC, 2).min, 1u);
    EXPECT_EQ(slot(isa::op_shiftL, 1).min, 1u);
    EXPECT_EQ(slot(isa::op_rotL, 1).min, 0u);
    EXPECT_FALSE(slot(isa::op_rotL, 1).in_range(16));
    EXPECT_TRUE(slot(isa::op_rotL, 1).optional);
    EXPECT_FALSE(slot(isa::op_ramadr, 0).in_range(256));
    EXPECT_FALSE(slot(isa::op_usrEprInit, 0).in_range(128));
    EXPECT_TRUE(slot(isa::op_clrC, 0).empty());
    EXPECT_EQ(slot(isa::op_gotoBitC, 2).expected_kind(), isa::OperandKind::label);
    EXPECT_TRUE(isa::is_unsupported_swap(isa::acc_r, isa::acc_z));
    EXPECT_FALSE(isa::is_unsupported_swap(isa::acc_x, isa::acc_r));
}

TEST(OperandRules, ChecksAndLabelsByMnemonic) {
    int rejected = 0;
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        if (m.group == isa::Group::wide_48bit) {
            EXPECT_EQ(m.rules.check, isa::Check::not_found) << m.source;
            ++rejected;
        }
        const int label = isa::label_operand(m.number);
        if (isa::is_label_jump(m.number) || isa::is_subroutine_call(m.number))
            EXPECT_EQ(label, 0) << m.source;
        else if (isa::is_bit_jump(m.number))
            EXPECT_EQ(label, 2) << m.source;
        else
            EXPECT_EQ(label, -1) << m.source;
    }
    EXPECT_EQ(rejected, 9);
    EXPECT_EQ(isa::operand_rules(81).check, isa::Check::not_found);
    EXPECT_EQ(isa::operand_rules(isa::op_and).check, isa::Check::two_operand);
    EXPECT_EQ(isa::operand_rules(isa::op_shiftR).check, isa::Check::shift_rotate);
}

} // namespace
