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

} // namespace
