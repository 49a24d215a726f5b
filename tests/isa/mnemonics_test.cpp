#include "isa/instruction_table.h"
#include "isa/mnemonics.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

TEST(Mnemonics, KeywordsAreCaseSensitiveWholeWords) {
    EXPECT_EQ(isa::find_mnemonic("add"), isa::op_add);
    EXPECT_EQ(isa::find_mnemonic("gotoEQ"), 32);
    EXPECT_EQ(isa::find_mnemonic("usrEprInit"), 80);
    EXPECT_FALSE(isa::find_mnemonic("ADD"));
    EXPECT_FALSE(isa::find_mnemonic("Add"));
    EXPECT_FALSE(isa::find_mnemonic("add1"));
    EXPECT_FALSE(isa::find_mnemonic("clk10KHz")); // message name, not a keyword
}

TEST(Mnemonics, EveryKeywordIsUniqueAndMapsBackToItsNumber) {
    std::set<std::string_view> seen;
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        EXPECT_TRUE(seen.insert(m.source).second) << m.source;
        EXPECT_EQ(isa::find_mnemonic(m.source), m.number);
    }
    EXPECT_EQ(seen.size(), 81u);
}

TEST(Mnemonics, MessageNamesDifferOnlyForTheClocks) {
    EXPECT_EQ(isa::get_opcode_name(10), "clk10KHz");
    EXPECT_EQ(isa::get_opcode_name(11), "clk675KHz");
    EXPECT_EQ(isa::get_opcode_name(12), "clk4MHz");
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        if (m.number < 10 || m.number > 12) {
            EXPECT_EQ(m.message, m.source);
        }
        EXPECT_LE(m.message.size(), 19u);
    }
    EXPECT_EQ(isa::get_opcode_name(-1), "opcode not found!!!");
    EXPECT_EQ(isa::get_opcode_name(81), "opcode not found!!!");
    EXPECT_EQ(isa::get_opcode_name(81).size(), 19u);
}

TEST(Mnemonics, FamilyPredicates) {
    for (int n = -1; n <= 81; ++n) {
        EXPECT_EQ(isa::is_skip(n), n >= 63 && n <= 73) << n;
        EXPECT_EQ(isa::is_label_jump(n), n == 27 || (n >= 30 && n <= 37)) << n;
        EXPECT_EQ(isa::is_bit_jump(n), n == 28 || n == 29) << n;
    }
}

// A skip that must reach further becomes the jump of the same condition: on the chip the
// two share their first byte's layout, the count field 0 marking the jump.
TEST(Mnemonics, EverySkipHasTheJumpOfItsCondition) {
    for (int n = -1; n <= 81; ++n) {
        const int jump = isa::jump_for_skip(n);
        if (!isa::is_skip(n)) {
            EXPECT_EQ(jump, -1) << n;
            continue;
        }
        ASSERT_TRUE(isa::is_label_jump(jump) || isa::is_bit_jump(jump)) << n;
        EXPECT_EQ(isa::is_bit_jump(jump), isa::is_bit_skip(n)) << n;
        const isa::Form skip_form = isa::mnemonic_of(n).forms[0];
        const isa::Form jump_form = isa::mnemonic_of(jump).forms[0];
        EXPECT_EQ(skip_form.base, jump_form.base) << isa::get_opcode_name(n);
        EXPECT_EQ(skip_form.param, jump_form.param) << isa::get_opcode_name(n);
        EXPECT_EQ(isa::skip_count_operand(n), isa::is_bit_skip(n) ? 2 : 0);
    }
}

TEST(Mnemonics, BitJumpsSplitIntoTheOppositeBitSkip) {
    EXPECT_EQ(isa::opposite_bit_skip(isa::op_gotoBitC), isa::op_skipBitS);
    EXPECT_EQ(isa::opposite_bit_skip(isa::op_gotoBitS), isa::op_skipBitC);
    EXPECT_EQ(isa::opposite_bit_skip(isa::op_goto), -1);
    EXPECT_EQ(isa::opposite_bit_skip(isa::op_skipBitC), -1);
}

} // namespace
