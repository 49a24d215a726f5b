// Operand checks in-process: what the user EEPROM directives leave in the image and in the
// statement list, sizes and addresses after the checks.
#include "in_process_assembly.h"
#include "isa/mnemonics.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class OperandChecks : public testing::Test {
protected:
    InProcessAssembly& assemble(const std::string& source) {
        result_ = assemble_in_process(source);
        return result_;
    }

    std::vector<int32_t> opcodes() const {
        std::vector<int32_t> result;
        for (const OpcodeRecord* s : result_.statements())
            result.push_back(s->opcode);
        return result;
    }

    const UserEeprom& eeprom() const { return result_.assembly->eeprom; }

    InProcessAssembly result_;
};

TEST_F(OperandChecks, FirstDefinitionOfAnEepromCellHolds) {
    InProcessAssembly& result = assemble("usrEprInit 5, 10\nusrEprInit 5, 11\nnop\n");
    EXPECT_EQ(result.messages, "main.asm  Line:2  ERROR: eeprom user cell 5 already defined\n");
    EXPECT_EQ(eeprom().eeprom_cells[5], 10);
    EXPECT_TRUE(eeprom().eeprom_used_cells[5]);
    EXPECT_EQ(opcodes(), (std::vector<int32_t>{isa::op_nop}));
}

TEST_F(OperandChecks, DirectiveWithOperandErrorsDefinesNothingAndStillLeavesTheList) {
    InProcessAssembly& result = assemble("nop\nusrEprInit 128, 1\nusrEprInit 3, 256\n"
                                         "usrEprInit 4\nstop\n");
    EXPECT_EQ(result.messages,
              "main.asm  Line:2  ERROR: wrong range for first parameter in opcode 'usrEprInit'\n"
              "main.asm  Line:3  ERROR: wrong range for second parameter in opcode 'usrEprInit'\n"
              "main.asm  Line:4  ERROR: too few parameters for opcode 'usrEprInit'\n");
    EXPECT_FALSE(eeprom().any_cell_used());
    EXPECT_EQ(opcodes(), (std::vector<int32_t>{isa::op_nop, isa::op_stop}));
    EXPECT_EQ(result_.statements().back()->address, 1);
}

TEST_F(OperandChecks, ProgramOfDirectivesOnlyLeavesAnEmptyList) {
    InProcessAssembly& result = assemble("usrEprInit 0, 255\nusrEprInit 127, 1\n");
    EXPECT_EQ(result.messages, "");
    EXPECT_TRUE(list_is_empty(result.assembly->lists.start_opcode));
    ASSERT_TRUE(result.image.has_value());
    EXPECT_EQ(result.image->length, 0);
    EXPECT_EQ(eeprom().eeprom_cells[0], 255);
    EXPECT_EQ(eeprom().eeprom_cells[127], 1);
}

// The head of the list is the first statement itself: directives in front make the next
// statement the head, and labels and jumps follow it there.
TEST_F(OperandChecks, LeadingDirectivesReheadTheList) {
    InProcessAssembly& result =
        assemble("usrEprInit 1, 2\nusrEprInit 2, 3\nstart: nop\nnext: clear y\n"
                 "goto start\ngoto next\n");
    EXPECT_EQ(result.messages, "");
    ASSERT_EQ(opcodes(),
              (std::vector<int32_t>{isa::op_nop, isa::op_clear, isa::op_goto, isa::op_goto}));
    const std::vector<const OpcodeRecord*> list = result_.statements();
    const OpcodeRecord& start_opcode = result.assembly->lists.start_opcode;
    EXPECT_EQ(list[0], &start_opcode);
    EXPECT_EQ(start_opcode.jumplabel->opcode, &start_opcode);
    EXPECT_EQ(list[2]->target, &start_opcode);
    EXPECT_EQ(list[3]->target, list[1]);
    EXPECT_EQ(start_opcode.prev, list[3]);
    EXPECT_EQ(list[3]->address, 4);
    EXPECT_EQ(result.image->bytes[2], 0x64);
    EXPECT_EQ(result.image->bytes[3], 0xFD); // back to 0 from the byte at 3
}

TEST_F(OperandChecks, LabelOfADirectiveCannotBeJumpedTo) {
    InProcessAssembly& result =
        assemble("first: usrEprInit 0, 1\nnop\nlater: usrEprInit 1, 2\ngoto first\njsub later\n"
                 "gotoBitS x, 1, later\nlast: usrEprInit 2, 3\n");
    EXPECT_EQ(result.messages,
              "main.asm  Line:4  ERROR: jump label 'first' stands in front of usrEprInit, which "
              "has no code\n"
              "main.asm  Line:5  ERROR: jump label 'later' stands in front of usrEprInit, which "
              "has no code\n"
              "main.asm  Line:6  ERROR: jump label 'later' stands in front of usrEprInit, which "
              "has no code\n");
}

TEST_F(OperandChecks, FailedStatementsStillGetSizesAndAddresses) {
    InProcessAssembly& result = assemble("add y, 0x1000000\nramadr 300\nswap r, z\n"
                                         "add48r x\nshiftL x, 0\nnop\n");
    EXPECT_FALSE(result.image.has_value());
    const std::vector<const OpcodeRecord*> list = result_.statements();
    ASSERT_EQ(list.size(), 6u);
    std::vector<int32_t> sizes, addresses;
    for (const OpcodeRecord* s : list) {
        sizes.push_back(s->size);
        addresses.push_back(s->address);
    }
    EXPECT_EQ(sizes, (std::vector<int32_t>{4, 2, 1, 0, 2, 1}));
    EXPECT_EQ(addresses, (std::vector<int32_t>{0, 4, 6, 7, 7, 9}));
}

} // namespace
