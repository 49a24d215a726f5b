#include "isa/decode.h"
#include "isa/disassemble.h"
#include "isa/encode.h"
#include "isa/mnemonics.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using isa::DecodeStatus;

std::vector<std::uint8_t> encoded(const isa::Instruction& in) {
    isa::Bytes bytes;
    EXPECT_EQ(isa::encode_bytes(in, bytes), isa::EncodeStatus::ok);
    return {bytes.data.begin(), bytes.data.begin() + bytes.size};
}

// Every first and second byte, with trailing bytes that make putepr whole and the rest vary:
// the result is either an instruction the encoder gives back byte for byte, or one byte
// that is not an instruction. Spans are exact-size copies, so a read past them is caught by
// the address sanitizer.
TEST(Decode, EveryTwoBytePrefixIsAnInstructionOrRejected) {
    int instructions = 0;
    for (int b0 = 0; b0 < 256; ++b0)
        for (int b1 = 0; b1 < 256; ++b1)
            for (int tail : {0x00, 0x5A, b0}) {
                const std::vector<std::uint8_t> code{std::uint8_t(b0), std::uint8_t(b1),
                                                     std::uint8_t(tail), std::uint8_t(tail),
                                                     std::uint8_t(tail)};
                const isa::Decoded out = isa::decode(code, 0x100);
                ASSERT_NE(out.status, DecodeStatus::truncated);
                if (!out.ok()) {
                    ASSERT_EQ(out.instruction.size, 1);
                    ASSERT_EQ(out.instruction.opcode, -1);
                    continue;
                }
                ++instructions;
                const std::vector<std::uint8_t> again = encoded(out.instruction);
                ASSERT_EQ(again, std::vector(code.begin(), code.begin() + out.instruction.size))
                    << std::hex << b0 << " " << b1;
            }
    EXPECT_GT(instructions, 100000);
}

TEST(Decode, BytesTheEncoderNeverWritesAreNotInstructions) {
    auto status = [](std::vector<std::uint8_t> code) { return isa::decode(code, 0x100).status; };
    for (int b0 = 0xE0; b0 <= 0xEF; ++b0)
        EXPECT_EQ(status({std::uint8_t(b0)}), DecodeStatus::not_an_instruction);
    EXPECT_EQ(status({0xF3}), DecodeStatus::not_an_instruction);
    EXPECT_EQ(status({0xF6, 0x00}), DecodeStatus::not_an_instruction);
    EXPECT_EQ(status({0xCB, 0x03}), DecodeStatus::not_an_instruction);
    EXPECT_EQ(status({0xCB, 0xC0}), DecodeStatus::not_an_instruction);
    EXPECT_EQ(status({0x60, 0xC0, 0x00}), DecodeStatus::not_an_instruction); // bit 24
    EXPECT_EQ(status({0xF5, 0x80}), DecodeStatus::not_an_instruction);       // bit 24
    EXPECT_EQ(status({0xF1, 0x40}), DecodeStatus::not_an_instruction);       // no bit op 2
    EXPECT_EQ(status({0xF2, 0x3F}), DecodeStatus::not_an_instruction);       // ramadr 63 long
    EXPECT_EQ(status({0xCE, 0xF0}), DecodeStatus::not_an_instruction);       // shiftR by 0
    EXPECT_EQ(status({0xC9, 0x20, 0x00}), DecodeStatus::not_an_instruction); // beyond 8191
    EXPECT_EQ(status({0xDC, 0xDC, 0xDC, 0xDD}), DecodeStatus::not_an_instruction);
    // A short jump whose target falls outside the code space.
    EXPECT_EQ(isa::decode(std::vector<std::uint8_t>{0x64, 0x80}, 0).status,
              DecodeStatus::not_an_instruction);
    EXPECT_EQ(isa::decode(std::vector<std::uint8_t>{0x64, 0x7F}, 8100).status,
              DecodeStatus::not_an_instruction);
}

TEST(Decode, ShortSpansReportTruncation) {
    const std::vector<std::uint8_t> and_y5 =
        encoded({isa::op_and, {isa::Operand::accu(1), isa::Operand::number(5)}, 5, 0});
    for (std::size_t length = 0; length < and_y5.size(); ++length) {
        const std::vector<std::uint8_t> part(and_y5.begin(), and_y5.begin() + long(length));
        const isa::Decoded out = isa::decode(part, 0);
        EXPECT_EQ(out.status, DecodeStatus::truncated) << length;
        EXPECT_GT(out.instruction.size, int(length));
    }
    EXPECT_EQ(isa::decode(std::vector<std::uint8_t>{0xCB, 0x85}, 0).instruction.size, 5);
    EXPECT_EQ(isa::decode(std::vector<std::uint8_t>{0xDE, 0xDE}, 0).instruction.size, 4);
    // An image: decode_at never reads outside it.
    const std::vector<std::uint8_t> image{0x00, 0x64, 0xFE, 0xC9};
    EXPECT_TRUE(isa::decode_at(image, 1).ok());
    EXPECT_EQ(isa::jump_target(isa::decode_at(image, 1).instruction), 0);
    EXPECT_EQ(isa::decode_at(image, 3).status, DecodeStatus::truncated);
    EXPECT_EQ(isa::decode_at(image, 4).status, DecodeStatus::truncated);
    EXPECT_EQ(isa::decode_at(image, -1).status, DecodeStatus::truncated);
}

TEST(Disassemble, SourceSyntax) {
    auto text = [](std::vector<std::uint8_t> code, int address = 0) {
        return isa::disassemble(code, address);
    };
    EXPECT_EQ(text({0xCB, 0x85, 0x00, 0x00, 0x05}), "and y, 5");
    EXPECT_EQ(text({0x26}), "add y, z");
    EXPECT_EQ(text({0x6A, 0x0A, 0xBC}), "gotoEQ 0x0ABC");
    EXPECT_EQ(text({0x64, 0x09}, 100), "goto 0x006E");
    EXPECT_EQ(text({0xCE, 0x1D}), "rotL y, 2");
    EXPECT_EQ(text({0xCE, 0xFD}), "rotL y, 0");
    EXPECT_EQ(text({0x63, 0x3E}), "skipBitS z, 7, 3");
    EXPECT_EQ(text({0xCB, 0x11}), "clk10khz 1");
    EXPECT_EQ(text({0xF2, 0xFF}), "ramadr 255");
    EXPECT_EQ(text({0xCF}), "jsubret");
    EXPECT_EQ(text({0xE5, 0x00}), "not an instruction (0xE5)");
    EXPECT_EQ(text({0xCB, 0x85}), "truncated instruction (0xCB 0x85)");
    EXPECT_EQ(text({}), "truncated instruction");
}

} // namespace
