// Jump resolution in-process: short and long forms at their reach limits, growth that
// cascades over passes, bit jumps split into a bit skip and a long goto, and the skips in
// front of a split repaired or turned into jumps.
#include "assembler/program_lists.h"
#include "assembler/symtab.h"
#include "in_process_assembly.h"
#include "isa/mnemonics.h"
#include "source_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class JumpResolution : public testing::Test {
protected:
    // Assembles a source that must be free of errors.
    void assemble(const std::string& source) {
        result_ = assemble_in_process(source);
        ASSERT_TRUE(result_.image.has_value()) << result_.messages;
        ASSERT_EQ(result_.messages, "");
        list_ = result_.statements();
    }

    const OpcodeRecord& statement(std::size_t index) const { return *list_.at(index); }
    const OpcodeRecord& last() const { return *list_.back(); }

    // The statement a label stands in front of.
    const OpcodeRecord* labelled(const char* name) const {
        for (const OpcodeRecord* s : list_)
            if (s->jumplabel != nullptr && std::string(s->jumplabel->name) == name) return s;
        return nullptr;
    }

    std::vector<int> bytes(int address, int count) const {
        return {result_.image->bytes.begin() + address,
                result_.image->bytes.begin() + address + count};
    }

    InProcessAssembly result_;
    std::vector<const OpcodeRecord*> list_;
};

TEST_F(JumpResolution, GotoKeepsItsShortFormUpTo127BytesAhead) {
    assemble("goto t\n" + filler(125) + "t: nop\n");
    EXPECT_EQ(statement(0).size, 2);
    EXPECT_EQ(labelled("t")->address, 127);
    EXPECT_EQ(bytes(0, 2), (std::vector{0x64, 0x7E}));

    assemble("goto t\n" + filler(126) + "t: nop\n");
    EXPECT_EQ(statement(0).size, 3);
    EXPECT_EQ(labelled("t")->address, 129);
    EXPECT_EQ(bytes(0, 3), (std::vector{0xC9, 0x00, 0x81}));
}

TEST_F(JumpResolution, GotoKeepsItsShortFormDownTo127BytesBack) {
    assemble("t: nop\n" + filler(126) + "goto t\n");
    EXPECT_EQ(last().address, 127);
    EXPECT_EQ(last().size, 2);
    EXPECT_EQ(bytes(127, 2), (std::vector{0x64, 0x80})); // displacement -128 from its byte

    assemble("t: nop\n" + filler(127) + "gotoNeg t\n");
    EXPECT_EQ(last().size, 3);
    EXPECT_EQ(bytes(128, 3), (std::vector{0x6F, 0x00, 0x00}));
}

TEST_F(JumpResolution, BitJumpReaches127AheadAnd126Back) {
    assemble("gotoBitC x, 3, t\n" + filler(124) + "t: nop\n");
    EXPECT_EQ(statement(0).opcode, isa::op_gotoBitC);
    EXPECT_EQ(bytes(0, 3), (std::vector{0x60, 0x18, 0x7D}));

    assemble("t: nop\n" + filler(125) + "gotoBitS r, 17, t\n");
    EXPECT_EQ(last().opcode, isa::op_gotoBitS);
    EXPECT_EQ(bytes(126, 3), (std::vector{0x60, 0x8F, 0x80}));
}

TEST_F(JumpResolution, BitJumpOutOfReachBecomesOppositeBitSkipOverLongGoto) {
    assemble("gotoBitC y, 3, t\n" + filler(125) + "t: nop\n");
    const OpcodeRecord& skip = statement(0);
    const OpcodeRecord& jump = statement(1);
    EXPECT_EQ(skip.opcode, isa::op_skipBitS);
    EXPECT_EQ(skip.par1, 1);
    EXPECT_EQ(skip.par2, 3);
    EXPECT_EQ(skip.par3, 1);
    EXPECT_EQ(skip.size, 2);
    EXPECT_EQ(jump.opcode, isa::op_goto);
    EXPECT_EQ(jump.size, 3);
    EXPECT_EQ(jump.address, 2);
    EXPECT_EQ(jump.line, skip.line) << "the goto is listed under the bit jump's line";
    EXPECT_EQ(jump.jumplabel, nullptr);
    EXPECT_EQ(jump.target, labelled("t"));
    EXPECT_EQ(labelled("t")->address, 130);
    EXPECT_EQ(bytes(0, 5), (std::vector{0x61, 0x1D, 0xC9, 0x00, 0x82}));

    assemble("t: nop\n" + filler(126) + "gotoBitS z, 0, t\n");
    EXPECT_EQ(statement(list_.size() - 2).opcode, isa::op_skipBitC);
    EXPECT_EQ(bytes(127, 5), (std::vector{0x61, 0x02, 0xC9, 0x00, 0x00}));
}

TEST_F(JumpResolution, LongFirstStatementMovesEverythingAfterIt) {
    assemble("goto t\n" + filler(126) + "t: nop\n");
    EXPECT_EQ(statement(0).address, 0);
    EXPECT_EQ(statement(1).address, 3);
    for (std::size_t i = 1; i < list_.size(); ++i)
        EXPECT_EQ(statement(i).address, statement(i - 1).address + statement(i - 1).size);

    assemble("t: nop\n" + filler(200) + "goto t\n");
    EXPECT_EQ(statement(0).address, 0);
    EXPECT_EQ(last().size, 3);
    EXPECT_EQ(result_.image->length, 204);
}

// The first jump fits until the second, which it spans, grows behind it in the same pass;
// the next pass lengthens it.
TEST_F(JumpResolution, JumpAcrossALaterGrowthIsLengthenedInTheNextPass) {
    assemble("goto a\n" + filler(123) + "goto far\na: nop\n" + filler(200) + "far: nop\n");
    EXPECT_EQ(statement(0).size, 3);
    EXPECT_EQ(labelled("a")->address, 3 + 123 + 3);
}

// Each jump reaches exactly 127 bytes and spans the next one, which grows one pass before
// it: the last jump's growth travels back to the first, one jump per pass.
TEST_F(JumpResolution, GrowthCascadesBackThroughAChainOfJumps) {
    const int jumps = 8;
    std::string source = "goto l0\n" + filler(61) + "nop\n";
    for (int i = 1; i < jumps; ++i)
        source += "goto l" + std::to_string(i) + "\n" + filler(61) + "l" + std::to_string(i - 1) +
                  ": nop\n";
    assemble(source + filler(200) + "l" + std::to_string(jumps - 1) + ": nop\n");
    const OpcodeRecord* far = labelled(("l" + std::to_string(jumps - 1)).c_str());
    int long_jumps = 0;
    for (const OpcodeRecord* s : list_) {
        if (s->opcode != isa::op_goto) continue;
        EXPECT_EQ(s->size, 3) << "goto on line " << s->line;
        // 127 bytes, one more for the grown jump in between, one for itself.
        if (s->target != far) {
            EXPECT_EQ(s->target->address - s->address, 129) << "goto on line " << s->line;
        }
        ++long_jumps;
    }
    EXPECT_EQ(long_jumps, jumps);
}

TEST_F(JumpResolution, SkipsInFrontOfASplitCountTheInsertedGoto) {
    assemble("skip 1\ngotoBitC x, 3, far\nnop\n" + filler(130) + "far: nop\n");
    EXPECT_EQ(statement(0).par1, 2);
    EXPECT_EQ(bytes(0, 1), (std::vector{0x66}));

    assemble("skipEQ 2\nnop\ngotoBitC x, 3, far\n" + filler(130) + "far: nop\n");
    EXPECT_EQ(statement(0).opcode, isa::op_skipEQ);
    EXPECT_EQ(statement(0).par1, 3);

    assemble("skipEQ 1\nnop\ngotoBitC x, 3, far\n" + filler(130) + "far: nop\n");
    EXPECT_EQ(statement(0).par1, 1) << "a skip that does not reach the split stays";

    assemble("skipBitS z, 4, 2\nnop\ngotoBitC x, 3, far\n" + filler(130) + "far: nop\n");
    EXPECT_EQ(statement(0).par3, 3);
    EXPECT_EQ(bytes(0, 2), (std::vector{0x63, 0x26}));
}

TEST_F(JumpResolution, SkipOfThreeOverASplitBecomesAJumpToWhereItLanded) {
    assemble("skip 3\ngotoBitC x, 3, far\nnop\nnop\nland: nop\n" + filler(130) + "far: nop\n");
    const OpcodeRecord& jump = statement(0);
    EXPECT_EQ(jump.opcode, isa::op_goto);
    EXPECT_EQ(jump.size, 2);
    EXPECT_EQ(jump.target, labelled("land"));
    EXPECT_EQ(labelled("land")->address, 2 + 2 + 3 + 1 + 1);
    EXPECT_EQ(bytes(0, 2), (std::vector{0x64, 8}));

    // Two and three statements in front: a count of 3 still reaches the split.
    assemble("skipCarS 3\nnop\nnop\ngotoBitS x, 3, far\nland: nop\n" + filler(130) + "far: nop\n");
    EXPECT_EQ(statement(0).opcode, isa::op_gotoCarS);
    EXPECT_EQ(statement(0).target, labelled("land"));
    EXPECT_EQ(bytes(0, 2), (std::vector{0x50, 8}));

    assemble("skipNE 3\nnop\ngotoBitS x, 3, far\nnop\nland: nop\n" + filler(130) + "far: nop\n");
    EXPECT_EQ(statement(0).opcode, isa::op_gotoNE);
    EXPECT_EQ(statement(0).target, labelled("land"));

    assemble("skipNE 2\nnop\nnop\ngotoBitS x, 3, far\n" + filler(130) + "far: nop\n");
    EXPECT_EQ(statement(0).opcode, isa::op_skipNE) << "a count of 2 ends before the split";
    EXPECT_EQ(statement(0).par1, 2);
}

TEST_F(JumpResolution, BitSkipOfThreeBecomesTheBitJumpOfItsCondition) {
    assemble("skipBitC y, 20, 3\ngotoBitC x, 3, far\nnop\nnop\nland: nop\n" + filler(130) +
             "far: nop\n");
    const OpcodeRecord& jump = statement(0);
    EXPECT_EQ(jump.opcode, isa::op_gotoBitC);
    EXPECT_EQ(jump.par1, 1);
    EXPECT_EQ(jump.par2, 20);
    EXPECT_EQ(jump.par3_type, PAR_LABEL);
    EXPECT_EQ(jump.size, 3);
    EXPECT_EQ(jump.target, labelled("land"));
    EXPECT_EQ(bytes(0, 3), (std::vector{0x60, 0xA1, 8}));
}

TEST_F(JumpResolution, ConvertedSkipReachingPastTheEndTargetsTheProgramEnd) {
    assemble("far: nop\n" + filler(130) + "skip 3\ngotoBitC x, 3, far\nnop\n");
    const OpcodeRecord& jump = statement(list_.size() - 4);
    EXPECT_EQ(jump.opcode, isa::op_goto);
    const int end = result_.image->length;
    EXPECT_EQ(end, last().address + last().size);
    EXPECT_EQ(bytes(jump.address, 2), (std::vector{0x64, end - jump.address - 1}));
}

// A split behind a split: the first goto's skip repair sees the second bit jump's range.
TEST_F(JumpResolution, NeighbouringSplitsRepairEachOthersSkips) {
    assemble("skip 1\ngotoBitC x, 1, far\ngotoBitS y, 2, far\nnop\n" + filler(130) + "far: nop\n");
    EXPECT_EQ(statement(0).opcode, isa::op_skip);
    EXPECT_EQ(statement(0).par1, 2);
    EXPECT_EQ(statement(1).opcode, isa::op_skipBitS);
    EXPECT_EQ(statement(1).par3, 1);
    EXPECT_EQ(statement(2).opcode, isa::op_goto);
    EXPECT_EQ(statement(3).opcode, isa::op_skipBitC);
    EXPECT_EQ(statement(4).opcode, isa::op_goto);
}

TEST_F(JumpResolution, SubroutineCallsAreAlwaysLong) {
    assemble("jsub s\nstop\ns: jsubret\n");
    EXPECT_EQ(statement(0).size, 3);
    EXPECT_EQ(bytes(0, 3), (std::vector{0xCA, 0x00, 0x04}));
}

// A label whose statement record could not be linked to it labels nothing (the grammar
// itself never lets a label end the source). The first jump to such a label ends the run.
class MissingTarget : public testing::Test {
protected:
    static InProcessAssembly assemble_unlinked(const std::string& source, const char* label) {
        return assemble_in_process(source, [label](Assembly& assembly) {
            JumpLabelRecord* record = assembly.symbols.find_jumplabel(label);
            ASSERT_NE(record, nullptr);
            record->opcode = nullptr;
        });
    }
};

TEST_F(MissingTarget, GotoEndsTheRunWithoutNamingTheLabel) {
    InProcessAssembly result = assemble_unlinked("goto done\nnop\ndone: nop\n", "done");
    EXPECT_EQ(result.messages, "main.asm  Line:1  ERROR: jumplabel not found\n");
    EXPECT_TRUE(result.ended_run);
    EXPECT_FALSE(result.image.has_value());
}

TEST_F(MissingTarget, BitJumpNamesTheLabelAndTheStatementNumber) {
    InProcessAssembly result =
        assemble_unlinked("nop\nclear x\ngotoBitS x, 3, done\ngoto done\ndone: nop\n", "done");
    EXPECT_EQ(result.messages, "main.asm  Line:3  ERROR: jumplabel 'done' not found 2\n");
    EXPECT_TRUE(result.ended_run);
}

TEST_F(MissingTarget, SubroutineCallEndsTheRunLikeGoto) {
    InProcessAssembly result =
        assemble_unlinked("clear x\njsub done\ngotoEQ done\ndone: jsubret\n", "done");
    EXPECT_EQ(result.messages, "main.asm  Line:2  ERROR: jumplabel not found\n");
    EXPECT_TRUE(result.ended_run);
}

} // namespace
