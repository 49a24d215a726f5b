// The code image in-process: byte forms and their comment texts, the program size limits
// and the redundancy-mode limit.
#include "in_process_assembly.h"
#include "source_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class CodeImageTest : public testing::Test {
protected:
    const CodeImage& image(const std::string& source) {
        result_ = assemble_in_process(source);
        EXPECT_TRUE(result_.image.has_value()) << result_.messages;
        if (!result_.image) result_.image.emplace();
        comments_ = result_.comments();
        return *result_.image;
    }

    std::vector<int> bytes(int address, int count) const {
        return {result_.image->bytes.begin() + address,
                result_.image->bytes.begin() + address + count};
    }
    std::vector<std::string> comments(int address, int count) const {
        return {comments_.begin() + address, comments_.begin() + address + count};
    }

    InProcessAssembly result_;
    std::vector<std::string> comments_; // of every byte of the image
};

TEST_F(CodeImageTest, EveryByteCarriesItsStatementsComment) {
    image("and y, 5\nadd y, z\nclk10khz 1\nnop\nskipBitC r, 23, 2\nshiftR z, 15\ngotoPos t\n"
          "t: jsub t\n");
    EXPECT_EQ(bytes(0, 5), (std::vector{0xCB, 0x85, 0x00, 0x00, 0x05}));
    EXPECT_EQ(comments(0, 5), (std::vector<std::string>{"and_4 (1,5)", "and_3 (1,5)", "and_2 (1,5)",
                                                        "and_1 (1,5)", "and_0 (1,5)"}));
    EXPECT_EQ(comments(5, 1), (std::vector<std::string>{"add (1,2)"}));
    EXPECT_EQ(comments(6, 2), (std::vector<std::string>{"clk10KHz_1 (1)", "clk10KHz_0 (1)"}));
    EXPECT_EQ(comments(8, 1), (std::vector<std::string>{"nop ()"}));
    EXPECT_EQ(comments(9, 2),
              (std::vector<std::string>{"skipBitC_1 (3,23,2)", "skipBitC_0 (3,23,2)"}));
    EXPECT_EQ(bytes(9, 2), (std::vector{0x62, 0xBB}));
    EXPECT_EQ(comments(11, 2), (std::vector<std::string>{"shiftR_1 (2,15)", "shiftR_0 (2,15)"}));
    EXPECT_EQ(bytes(11, 2), (std::vector{0xCE, 0xE2}));
    // Jump operands show the target's address.
    EXPECT_EQ(comments(13, 2), (std::vector<std::string>{"gotoPos_1 (15)", "gotoPos_0 (15)"}));
    EXPECT_EQ(bytes(13, 2), (std::vector{0x4C, 0x01}));
    EXPECT_EQ(comments(15, 3),
              (std::vector<std::string>{"jsub_2 (15)", "jsub_1 (15)", "jsub_0 (15)"}));
}

TEST_F(CodeImageTest, LongConditionalJumpCarriesThirteenAddressBits) {
    image("gotoEQ t\n" + filler(0x0ABC - 3) + "t: nop\n");
    EXPECT_EQ(bytes(0, 3), (std::vector{0x6A, 0x0A, 0xBC}));
    EXPECT_EQ(comments(0, 1), (std::vector<std::string>{"gotoEQ_2 (2748)"}));
}

TEST_F(CodeImageTest, ProgramOfExactly8143BytesIsAccepted) {
    const CodeImage& full = image(filler(8143));
    EXPECT_EQ(result_.messages, "");
    EXPECT_EQ(full.length, 8143);
}

TEST_F(CodeImageTest, StatementCrossing8143BytesIsReportedAndEndsTheImage) {
    // 1628 lines of `or` (8140 bytes), then putepr on line 1629 ends at 8144.
    const CodeImage& cut = image(filler(8140) + "putepr x\nstop\nstop\n");
    EXPECT_EQ(result_.messages,
              "main.asm  Line:1629  ERROR: program exceeds maximum size of 8k bytes\n");
    EXPECT_EQ(cut.length, 8144);
    EXPECT_EQ(bytes(8140, 5), (std::vector{0xDC, 0xDC, 0xDC, 0xDC, 0x00}));
    EXPECT_EQ(comments_.size(), 8144u) << "statements after the limit are not encoded";
    EXPECT_EQ(cut.bytes[8144], 0x00);
}

// Byte 38 with both low bits set selects redundancy mode; ramadr 3 is 0x83.
TEST_F(CodeImageTest, RedundancyModeLimitsTheProgramTo4046Bytes) {
    const std::string head = repeat("nop\n", 38);
    image(head + "ramadr 3\n" + filler(4047 - 39));
    EXPECT_EQ(result_.messages,
              "main.asm  Line:1  ERROR: Program size exceeds KZ71 capacity in redundancy mode\n");

    image(head + "ramadr 3\n" + filler(4046 - 39));
    EXPECT_EQ(result_.messages, "");

    image(head + "ramadr 2\n" + filler(4047 - 39)); // 0x82: one bit only
    EXPECT_EQ(result_.messages, "");

    // Beyond 8143 bytes both messages name the statement that crossed the limit.
    image(head + "ramadr 3\n" + filler(8140 - 39) + "putepr y\n");
    EXPECT_EQ(result_.messages,
              "main.asm  Line:1661  ERROR: program exceeds maximum size of 8k bytes\n"
              "main.asm  Line:1661  ERROR: Program size exceeds KZ71 capacity in redundancy "
              "mode\n");
}

} // namespace
