#include "assembler/program_lists.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class ProgramListsTest : public testing::Test {
protected:
    static OpcodeRecord statement(int32_t opcode) {
        OpcodeRecord values;
        values.opcode = opcode;
        return values;
    }

    std::vector<int32_t> opcodes_forward() const {
        std::vector<int32_t> result;
        if (list_is_empty(start_opcode)) return result;
        const OpcodeRecord* r = &start_opcode;
        do {
            result.push_back(r->opcode);
            r = r->next;
        } while (r != &start_opcode);
        return result;
    }

    std::vector<int32_t> opcodes_backward() const {
        std::vector<int32_t> result;
        if (list_is_empty(start_opcode)) return result;
        const OpcodeRecord* r = start_opcode.prev;
        do {
            result.insert(result.begin(), r->opcode);
            r = r->prev;
        } while (r != start_opcode.prev);
        return result;
    }

    Diagnostics diag_{stdout, stderr};
    ProgramLists lists_{diag_};
    OpcodeRecord& start_opcode = lists_.start_opcode;
    ConstRecord& start_const = lists_.start_const;
    JumpLabelRecord& start_jumplabel = lists_.start_jumplabel;
};

TEST_F(ProgramListsTest, FirstRecordIsTheHeadItself) {
    EXPECT_TRUE(list_is_empty(start_opcode));
    OpcodeRecord* first = lists_.add_opcode(statement(51));
    EXPECT_EQ(first, &start_opcode);
    EXPECT_EQ(start_opcode.next, &start_opcode);
    EXPECT_EQ(start_opcode.prev, &start_opcode);
    EXPECT_EQ(start_opcode.opcode, 51);

    ConstRecord* constant = lists_.add_const("f.asm", 3, "LIMIT", 10);
    EXPECT_EQ(constant, &start_const);
    EXPECT_EQ(start_const.next, &start_const);
    JumpLabelRecord* label = lists_.add_jumplabel("f.asm", 4, "loop");
    EXPECT_EQ(label, &start_jumplabel);
    EXPECT_EQ(label->opcode, nullptr);
    EXPECT_EQ(label->address, 0);
}

TEST_F(ProgramListsTest, AppendKeepsSourceOrderInBothDirections) {
    for (int32_t opcode : {1, 2, 3, 4})
        lists_.add_opcode(statement(opcode));
    EXPECT_EQ(opcodes_forward(), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(opcodes_backward(), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(start_opcode.prev->opcode, 4);
}

TEST_F(ProgramListsTest, InsertAndUnlinkKeepTheRingConsistent) {
    for (int32_t opcode : {1, 2, 3})
        lists_.add_opcode(statement(opcode));
    OpcodeRecord* second = start_opcode.next;
    OpcodeRecord* inserted = lists_.insert_opcode_after(second, statement(9));
    lists_.insert_opcode_after(start_opcode.prev, statement(8)); // after the last: becomes last
    EXPECT_EQ(opcodes_forward(), (std::vector<int32_t>{1, 2, 9, 3, 8}));
    EXPECT_EQ(opcodes_backward(), (std::vector<int32_t>{1, 2, 9, 3, 8}));

    lists_.unlink_opcode(second);
    EXPECT_EQ(opcodes_forward(), (std::vector<int32_t>{1, 9, 3, 8}));
    EXPECT_EQ(opcodes_backward(), (std::vector<int32_t>{1, 9, 3, 8}));
    EXPECT_EQ(second->opcode, 2) << "an unlinked record stays readable as long as the lists";
    EXPECT_EQ(inserted->prev, &start_opcode);
}

TEST_F(ProgramListsTest, RemovingTheHeadMovesTheNextStatementAndItsLabelIntoIt) {
    for (int32_t opcode : {1, 2, 3})
        lists_.add_opcode(statement(opcode));
    OpcodeRecord* second = start_opcode.next;
    JumpLabelRecord* first_label = lists_.add_jumplabel("f.asm", 1, "a");
    JumpLabelRecord* second_label = lists_.add_jumplabel("f.asm", 2, "b");
    start_opcode.jumplabel = first_label;
    first_label->opcode = &start_opcode;
    second->jumplabel = second_label;
    second_label->opcode = second;

    EXPECT_EQ(lists_.remove_opcode(&start_opcode), &start_opcode) << "the walk goes on at the head";
    EXPECT_EQ(opcodes_forward(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(opcodes_backward(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(second_label->opcode, &start_opcode);
    EXPECT_EQ(start_opcode.jumplabel, second_label);
    EXPECT_EQ(first_label->opcode, second) << "the removed statement keeps its label";
    EXPECT_EQ(second->opcode, 1);

    EXPECT_EQ(lists_.remove_opcode(start_opcode.next), nullptr)
        << "the last statement had no follower";
    EXPECT_EQ(lists_.remove_opcode(&start_opcode), nullptr);
    EXPECT_TRUE(list_is_empty(start_opcode));
}

TEST_F(ProgramListsTest, NewListsAreEmptyAndRecordsStayInPlace) {
    EXPECT_TRUE(list_is_empty(start_opcode));
    EXPECT_TRUE(list_is_empty(start_const));
    EXPECT_TRUE(list_is_empty(start_jumplabel));
    // Many records, over several blocks: none moves, the ring stays whole.
    std::vector<const OpcodeRecord*> made;
    for (int32_t i = 0; i < 20000; ++i)
        made.push_back(lists_.add_opcode(statement(i % 81)));
    const OpcodeRecord* r = &start_opcode;
    for (std::size_t i = 0; i < made.size(); ++i, r = r->next) {
        ASSERT_EQ(r, made[i]);
        ASSERT_EQ(r->opcode, static_cast<int32_t>(i % 81));
    }
    EXPECT_EQ(r, &start_opcode);
}

} // namespace
