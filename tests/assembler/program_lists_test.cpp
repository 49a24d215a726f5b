#include "assembler/front_end.h"
#include "assembler/program_lists.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class ProgramLists : public testing::Test {
protected:
    void SetUp() override { reset_front_end(); }
    void TearDown() override { reset_front_end(); }

    static OpcodeRecord statement(int32_t opcode) {
        OpcodeRecord values;
        values.opcode = opcode;
        return values;
    }

    static std::vector<int32_t> opcodes_forward() {
        std::vector<int32_t> result;
        if (list_is_empty(start_opcode)) return result;
        const OpcodeRecord* r = &start_opcode;
        do {
            result.push_back(r->opcode);
            r = r->next;
        } while (r != &start_opcode);
        return result;
    }

    static std::vector<int32_t> opcodes_backward() {
        std::vector<int32_t> result;
        if (list_is_empty(start_opcode)) return result;
        const OpcodeRecord* r = start_opcode.prev;
        do {
            result.insert(result.begin(), r->opcode);
            r = r->prev;
        } while (r != start_opcode.prev);
        return result;
    }
};

TEST_F(ProgramLists, FirstRecordIsTheHeadItself) {
    EXPECT_TRUE(list_is_empty(start_opcode));
    OpcodeRecord* first = add_opcode(statement(51));
    EXPECT_EQ(first, &start_opcode);
    EXPECT_EQ(start_opcode.next, &start_opcode);
    EXPECT_EQ(start_opcode.prev, &start_opcode);
    EXPECT_EQ(start_opcode.opcode, 51);

    ConstRecord* constant = add_const("f.asm", 3, "LIMIT", 10);
    EXPECT_EQ(constant, &start_const);
    EXPECT_EQ(start_const.next, &start_const);
    JumpLabelRecord* label = add_jumplabel("f.asm", 4, "loop");
    EXPECT_EQ(label, &start_jumplabel);
    EXPECT_EQ(label->opcode, nullptr);
    EXPECT_EQ(label->address, 0);
}

TEST_F(ProgramLists, AppendKeepsSourceOrderInBothDirections) {
    for (int32_t opcode : {1, 2, 3, 4})
        add_opcode(statement(opcode));
    EXPECT_EQ(opcodes_forward(), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(opcodes_backward(), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(start_opcode.prev->opcode, 4);
}

TEST_F(ProgramLists, InsertAndUnlinkKeepTheRingConsistent) {
    for (int32_t opcode : {1, 2, 3})
        add_opcode(statement(opcode));
    OpcodeRecord* second = start_opcode.next;
    OpcodeRecord* inserted = insert_opcode_after(second, statement(9));
    insert_opcode_after(start_opcode.prev, statement(8)); // after the last: becomes last
    EXPECT_EQ(opcodes_forward(), (std::vector<int32_t>{1, 2, 9, 3, 8}));
    EXPECT_EQ(opcodes_backward(), (std::vector<int32_t>{1, 2, 9, 3, 8}));

    unlink_opcode(second);
    EXPECT_EQ(opcodes_forward(), (std::vector<int32_t>{1, 9, 3, 8}));
    EXPECT_EQ(opcodes_backward(), (std::vector<int32_t>{1, 9, 3, 8}));
    EXPECT_EQ(second->opcode, 2) << "an unlinked record stays readable until the reset";
    EXPECT_EQ(inserted->prev, &start_opcode);
}

TEST_F(ProgramLists, RemovingTheHeadMovesTheNextStatementAndItsLabelIntoIt) {
    for (int32_t opcode : {1, 2, 3})
        add_opcode(statement(opcode));
    OpcodeRecord* second = start_opcode.next;
    JumpLabelRecord* first_label = add_jumplabel("f.asm", 1, "a");
    JumpLabelRecord* second_label = add_jumplabel("f.asm", 2, "b");
    start_opcode.jumplabel = first_label;
    first_label->opcode = &start_opcode;
    second->jumplabel = second_label;
    second_label->opcode = second;

    EXPECT_EQ(remove_opcode(&start_opcode), &start_opcode) << "the walk goes on at the head";
    EXPECT_EQ(opcodes_forward(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(opcodes_backward(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(second_label->opcode, &start_opcode);
    EXPECT_EQ(start_opcode.jumplabel, second_label);
    EXPECT_EQ(first_label->opcode, second) << "the removed statement keeps its label";
    EXPECT_EQ(second->opcode, 1);

    EXPECT_EQ(remove_opcode(start_opcode.next), nullptr) << "the last statement had no follower";
    EXPECT_EQ(remove_opcode(&start_opcode), nullptr);
    EXPECT_TRUE(list_is_empty(start_opcode));
}

TEST_F(ProgramLists, ResetEmptiesEveryList) {
    add_opcode(statement(1));
    add_opcode(statement(2));
    add_const("f.asm", 1, "A", 1);
    add_jumplabel("f.asm", 1, "l");
    reset_front_end();
    EXPECT_TRUE(list_is_empty(start_opcode));
    EXPECT_EQ(start_const.next, nullptr);
    EXPECT_EQ(start_jumplabel.next, nullptr);
    EXPECT_EQ(add_opcode(statement(5)), &start_opcode);
}

} // namespace
