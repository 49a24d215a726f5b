#include "isa/encode.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using isa::Instruction;
using isa::Operand;

Instruction statement(int opcode, isa::Operands operands, int size, int address = 0) {
    return Instruction{opcode, operands, size, address};
}

std::vector<int> bytes_of(const Instruction& in) {
    isa::Bytes bytes;
    EXPECT_EQ(isa::encode_bytes(in, bytes), isa::EncodeStatus::ok);
    return {bytes.data.begin(), bytes.data.begin() + bytes.size};
}

const Operand x = Operand::accu(isa::acc_x), y = Operand::accu(isa::acc_y),
              z = Operand::accu(isa::acc_z), r = Operand::accu(isa::acc_r);

Operand n(int value) {
    return Operand::number(value);
}

TEST(Encode, DocumentedExamples) {
    EXPECT_EQ(bytes_of(statement(isa::op_goto, {Operand::target(110)}, 2, 100)),
              (std::vector{0x64, 0x09}));
    EXPECT_EQ(bytes_of(statement(isa::op_gotoEQ, {Operand::target(0x0ABC)}, 3, 0x20)),
              (std::vector{0x6A, 0x0A, 0xBC}));
    EXPECT_EQ(bytes_of(statement(isa::op_and, {y, n(5)}, 5)),
              (std::vector{0xCB, 0x85, 0x00, 0x00, 0x05}));
    EXPECT_EQ(bytes_of(statement(isa::op_add, {y, z}, 1)), (std::vector{0x26}));
    EXPECT_EQ(bytes_of(statement(isa::op_swap, {y, x}, 1)), (std::vector{0x04}));
    EXPECT_EQ(bytes_of(statement(isa::op_swap, {x, y}, 1)), (std::vector{0x01}));
    EXPECT_EQ(bytes_of(statement(isa::op_swap, {z, x}, 1)), (std::vector{0x02}));
    EXPECT_EQ(bytes_of(statement(isa::op_swap, {x, z}, 1)), (std::vector{0x02}));
    EXPECT_EQ(bytes_of(statement(isa::op_bitset, {y, n(23)}, 2)), (std::vector{0xF5, 0x3D}));
    EXPECT_EQ(bytes_of(statement(isa::op_bitclr, {r, n(8)}, 2)), (std::vector{0xF1, 0x83}));
    EXPECT_EQ(bytes_of(statement(isa::op_rotL, {y, n(2)}, 2)), (std::vector{0xCE, 0x1D}));
    EXPECT_EQ(bytes_of(statement(isa::op_rotL, {y, n(0)}, 2)), (std::vector{0xCE, 0xFD}));
    EXPECT_EQ(bytes_of(statement(isa::op_putepr, {z}, 4)), (std::vector{0xDE, 0xDE, 0xDE, 0xDE}));
    EXPECT_EQ(bytes_of(statement(isa::op_clk10khz, {n(1)}, 2)), (std::vector{0xCB, 0x11}));
    EXPECT_EQ(bytes_of(statement(isa::op_nop, {}, 1)), (std::vector{0x00}));
}

TEST(Encode, LayoutsOfTheOtherFamilies) {
    EXPECT_EQ(bytes_of(statement(isa::op_skipNE, {n(3)}, 1)), (std::vector{0x5B}));
    EXPECT_EQ(bytes_of(statement(isa::op_skip, {n(1)}, 1)), (std::vector{0x65}));
    EXPECT_EQ(bytes_of(statement(isa::op_goto, {Operand::target(0x1FFF)}, 3, 5)),
              (std::vector{0xC9, 0x1F, 0xFF}));
    EXPECT_EQ(bytes_of(statement(isa::op_jsub, {Operand::target(0x0123)}, 3, 9)),
              (std::vector{0xCA, 0x01, 0x23}));
    EXPECT_EQ(bytes_of(statement(isa::op_gotoBitS, {z, n(17), Operand::target(0x40)}, 3, 0x50)),
              (std::vector{0x60, 0x8E, 0xEE})); // 8*17 + 4 + 2; 0x40 - 0x52 = -18
    EXPECT_EQ(bytes_of(statement(isa::op_skipBitC, {r, n(0), n(2)}, 2)), (std::vector{0x62, 0x03}));
    EXPECT_EQ(bytes_of(statement(isa::op_ramadr, {n(63)}, 1)), (std::vector{0xBF}));
    EXPECT_EQ(bytes_of(statement(isa::op_ramadr, {n(64)}, 2)), (std::vector{0xF2, 0x40}));
    EXPECT_EQ(bytes_of(statement(isa::op_shiftR, {x, n(15)}, 2)), (std::vector{0xCE, 0xE0}));
    EXPECT_EQ(bytes_of(statement(isa::op_bitinv, {x, n(7)}, 2)), (std::vector{0xF1, 0x7C}));
    EXPECT_EQ(bytes_of(statement(isa::op_equal, {n(0x123456)}, 3)),
              (std::vector{0x12, 0x34, 0x56}));
    EXPECT_EQ(bytes_of(statement(isa::op_addepr, {r}, 2)), (std::vector{0xCB, 0x00}));
    EXPECT_EQ(bytes_of(statement(isa::op_divmod, {z, y}, 2)), (std::vector{0xCB, 0x79}));
    EXPECT_EQ(bytes_of(statement(isa::op_move, {r, n(0xFFFFFF)}, 4)),
              (std::vector{0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(bytes_of(statement(isa::op_usrEprInit, {n(5), n(10)}, 0)).empty());
}

TEST(Encode, SelfSwapOfZOrRDoesNotTouchTheAccumulator) {
    // The plain byte formula would give clear z (0x0A) and getflag r (0x0F).
    EXPECT_EQ(bytes_of(statement(isa::op_swap, {z, z}, 1)), (std::vector{0x00}));
    EXPECT_EQ(bytes_of(statement(isa::op_swap, {r, r}, 1)), (std::vector{0x00}));
    EXPECT_EQ(bytes_of(statement(isa::op_swap, {y, y}, 1)), (std::vector{0x05}));
}

TEST(Encode, CommentTextsNameEveryByte) {
    const isa::Encoded and_y5 = isa::encode(statement(isa::op_and, {y, n(5)}, 5));
    EXPECT_EQ(and_y5.comments,
              (std::vector<std::string>{"and_4 (1,5)", "and_3 (1,5)", "and_2 (1,5)", "and_1 (1,5)",
                                        "and_0 (1,5)"}));
    EXPECT_EQ(isa::encode(statement(isa::op_add, {y, z}, 1)).comments,
              (std::vector<std::string>{"add (1,2)"}));
    EXPECT_EQ(isa::encode(statement(isa::op_clk10khz, {n(1)}, 2)).comments,
              (std::vector<std::string>{"clk10KHz_1 (1)", "clk10KHz_0 (1)"}));
    EXPECT_EQ(isa::encode(statement(isa::op_nop, {}, 1)).comments,
              (std::vector<std::string>{"nop ()"}));
    EXPECT_EQ(isa::encode(statement(isa::op_clrwdt, {}, 2)).comments,
              (std::vector<std::string>{"clrwdt_1 ()", "clrwdt_0 ()"}));
    EXPECT_EQ(isa::encode(statement(isa::op_rotL, {x}, 1)).comments,
              (std::vector<std::string>{"rotL (0)"}));
    // Jump targets show as the target's address.
    EXPECT_EQ(
        isa::encode(statement(isa::op_gotoBitC, {r, n(23), Operand::target(300)}, 3, 250)).comments,
        (std::vector<std::string>{"gotoBitC_2 (3,23,300)", "gotoBitC_1 (3,23,300)",
                                  "gotoBitC_0 (3,23,300)"}));
    EXPECT_EQ(isa::comment_text(statement(isa::op_goto, {Operand::target(4000)}, 3), 1),
              "goto_1 (4000)");
}

TEST(Encode, RefusesWhatItCannotEncode) {
    isa::Bytes bytes;
    auto status = [&bytes](const Instruction& in) { return isa::encode_bytes(in, bytes); };
    using S = isa::EncodeStatus;
    EXPECT_EQ(status(statement(isa::op_add48r, {x}, 0)), S::no_code);
    EXPECT_EQ(status(statement(81, {}, 1)), S::no_code);
    EXPECT_EQ(status(statement(-1, {}, 1)), S::no_code);
    EXPECT_EQ(status(statement(isa::op_add, {y, n(5)}, 2)), S::wrong_size);
    EXPECT_EQ(status(statement(isa::op_abs, {y}, 0)), S::wrong_size);
    EXPECT_EQ(status(statement(isa::op_add, {y, n(5)}, 1)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_add, {y, n(0x1000000)}, 4)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_add, {y, n(-1)}, 4)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_bitset, {x, n(24)}, 2)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_skip, {n(0)}, 1)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_shiftL, {x, n(0)}, 2)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_clear, {Operand::accu(4)}, 1)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_swap, {r, z}, 1)), S::wrong_operands);
    // One accumulator twice would be read as the constant form's first byte.
    EXPECT_EQ(status(statement(isa::op_add, {y, y}, 1)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_eorn, {r, r}, 2)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_mult24, {z, z}, 2)), S::ok) << "no constant form";
    EXPECT_EQ(status(statement(isa::op_ramadr, {n(64)}, 1)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_ramadr, {n(63)}, 2)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_nop, {x}, 1)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_goto, {Operand::target(8192)}, 3)), S::wrong_operands);
    EXPECT_EQ(status(statement(isa::op_goto, {n(10)}, 3)), S::wrong_operands);
    // A short displacement byte reaches -128..127 from itself.
    EXPECT_EQ(status(statement(isa::op_goto, {Operand::target(229)}, 2, 100)), S::out_of_reach);
    EXPECT_EQ(status(statement(isa::op_goto, {Operand::target(228)}, 2, 100)), S::ok);
    EXPECT_EQ(status(statement(isa::op_gotoBitC, {x, n(0), Operand::target(0)}, 3, 129)),
              S::out_of_reach);
    EXPECT_EQ(bytes.size, 0);
    const isa::Encoded refused = isa::encode(statement(isa::op_add48x, {x}, 1));
    EXPECT_EQ(refused.status, S::no_code);
    EXPECT_TRUE(refused.comments.empty());
}

} // namespace
