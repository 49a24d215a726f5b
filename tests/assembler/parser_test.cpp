// The scanner and the grammar run in-process: tokens, records and values that the golden
// tests cannot see until the back end prints them.
#include "assembler/assembly.h"
#include "assembler/source_reader.h"
#include "grammar.hpp"
#include "in_process_assembly.h"
#include "message_capture.h"
#include "scratch_directory.h"
#include "source_text.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Token {
    int code;
    int32_t value;
    int line;
    bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& t) {
    return out << "{" << t.code << ", " << t.value << ", line " << t.line << "}";
}

class FrontEnd : public testing::Test {
protected:
    // Writes `source` as the main file main.asm of the scratch directory and reads it back.
    SourceText main_file(const std::string& source) {
        scratch_.write("main.asm", source);
        main_path_ = (scratch_.path() / "main.asm").string();
        int error = 0;
        std::optional<SourceText> text = read_source(main_path_, max_source_size, error);
        EXPECT_TRUE(text.has_value()) << error;
        return text ? std::move(*text) : *SourceText::of("");
    }

    int parse(const std::string& source) {
        return assembly_->parse_source(main_path_, main_file(source));
    }

    std::vector<Token> tokens(const std::string& source) {
        Scanner scanner(*assembly_, main_path_.c_str(), main_file(source));
        std::vector<Token> result;
        YYSTYPE value{};
        SourceLocation location{};
        for (int code = scanner.next_token(value, location); code != 0;
             code = scanner.next_token(value, location)) {
            bool valued = code == OPCODE || code == INT || code == CINT;
            result.push_back({code, valued ? value.number : 0, location.first_line});
        }
        last_inst_const_ = scanner.inst_const != nullptr ? scanner.inst_const : "";
        return result;
    }

    // A fresh assembly: nothing of the sources before it.
    void start_over() {
        assembly_ = std::make_unique<Assembly>(capture_.stream(), capture_.stream());
    }

    std::string messages() { return capture_.text(); }
    std::vector<const OpcodeRecord*> statements() const { return statement_list(assembly_->lists); }
    int32_t err_cnt() const { return assembly_->diag.err_cnt; }

    int32_t constant(const char* name) const {
        ConstRecord* record = assembly_->symbols.find_const(name);
        return record != nullptr ? record->value : -999;
    }

    ScratchDirectory scratch_;
    std::string main_path_ = (scratch_.path() / "main.asm").string();
    MessageCapture capture_;
    std::unique_ptr<Assembly> assembly_ =
        std::make_unique<Assembly>(capture_.stream(), capture_.stream());
    std::string last_inst_const_;
};

TEST_F(FrontEnd, LabelMnemonicAndComment) {
    EXPECT_EQ(tokens("loop: gotoEQ loop ; comment\n"), (std::vector<Token>{{IDENTIFIER, 0, 1},
                                                                           {':', 0, 1},
                                                                           {OPCODE, 32, 1},
                                                                           {IDENTIFIER, 0, 1},
                                                                           {NEWLINE, 0, 2}}));
}

TEST_F(FrontEnd, NumbersAndMinusSigns) {
    EXPECT_EQ(tokens("-0.25 - 0.25 -5 0x1F 0X1f 0x \n"), (std::vector<Token>{{INT, 0xC00000, 1},
                                                                             {'-', 0, 1},
                                                                             {INT, 0x400000, 1},
                                                                             {'-', 0, 1},
                                                                             {INT, 5, 1},
                                                                             {INT, 31, 1},
                                                                             {INT, 31, 1},
                                                                             {INT, 0, 1},
                                                                             {ACCU_X, 0, 1},
                                                                             {NEWLINE, 0, 2}}));
}

TEST_F(FrontEnd, NumbersBeyondThirtyTwoBitsSaturate) {
    EXPECT_EQ(tokens("99999999999 2147483647 0x123456789 0xFFFFFFFF -0.0\n"),
              (std::vector<Token>{{INT, INT32_MAX, 1},
                                  {INT, INT32_MAX, 1},
                                  {INT, -1, 1},
                                  {INT, -1, 1},
                                  {INT, 0, 1},
                                  {NEWLINE, 0, 2}}));
    EXPECT_EQ(messages(), "");
}

TEST_F(FrontEnd, KeywordsAreCaseSensitiveWholeWords) {
    auto codes = [](const std::vector<Token>& list) {
        std::vector<int> result;
        for (const Token& t : list)
            result.push_back(t.code);
        return result;
    };
    EXPECT_EQ(codes(tokens("CONST const X xy x y z r add1 add clrC\n")),
              (std::vector<int>{CONST, IDENTIFIER, IDENTIFIER, IDENTIFIER, ACCU_X, ACCU_Y, ACCU_Z,
                                ACCU_R, IDENTIFIER, OPCODE, OPCODE, NEWLINE}));
}

TEST_F(FrontEnd, VerticalBarAndCarriageReturnEndStatements) {
    ASSERT_EQ(parse("nop | nop\rnop\n"), 0);
    std::vector<const OpcodeRecord*> list = statements();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->line, 1);
    EXPECT_EQ(list[1]->line, 1);
    EXPECT_EQ(list[2]->line, 1) << "a lone carriage return is no line feed";
}

TEST_F(FrontEnd, ConstantIsKnownOnlyAfterItsDeclaration) {
    const char* name = assembly_->texts.keep_text("LIMIT");
    ConstRecord* limit = assembly_->lists.add_const("main.asm", 1, name, 10);
    assembly_->symbols.addref(1, "main.asm", name, limit, REF_CONST);
    EXPECT_EQ(tokens("LIMIT\n"), (std::vector<Token>{{CINT, 10, 1}, {NEWLINE, 0, 2}}));
    EXPECT_EQ(last_inst_const_, "LIMIT");

    start_over();
    ASSERT_EQ(parse("goto LIMIT2\nCONST LIMIT2 10\ngoto LIMIT2\n"), 0);
    std::vector<const OpcodeRecord*> list = statements();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->par1_type, PAR_LABEL) << "before the declaration it is a name";
    EXPECT_STREQ(list[0]->label, "LIMIT2");
    EXPECT_EQ(list[1]->par1_type, PAR_NUMBER);
    EXPECT_EQ(list[1]->par1, 10);
}

TEST_F(FrontEnd, ConstantExpressions) {
    ASSERT_EQ(parse("CONST A 2+3*4\nCONST B (2+3)*4\nCONST C 7/2\nCONST D 0-7/2\n"
                    "CONST E 10-2-3\nCONST F A*B-C\nCONST G 0x7FFFFFFF+1\nCONST H 0-7/(0-2)\n"),
              0);
    EXPECT_EQ(constant("A"), 14);
    EXPECT_EQ(constant("B"), 20);
    EXPECT_EQ(constant("C"), 3);
    EXPECT_EQ(constant("D"), -3);
    EXPECT_EQ(constant("E"), 5);
    EXPECT_EQ(constant("F"), 277);
    EXPECT_EQ(constant("G"), INT32_MIN) << "sums wrap around";
    EXPECT_EQ(constant("H"), 3) << "quotients truncate toward zero";
}

TEST_F(FrontEnd, OperandFormsFillTheSlots) {
    ASSERT_EQ(parse("nop\nclear y\nskip 2\nswap r, z\nusrEprInit 5, 10\nmove x, 3\ngoto there\n"
                    "gotoBitC x, 3, there\nskipBitS z, 4, 1\n"),
              0);
    std::vector<const OpcodeRecord*> list = statements();
    ASSERT_EQ(list.size(), 9u);
    auto slots = [](const OpcodeRecord* r) {
        return std::vector<int32_t>{r->par1,      r->par1_type, r->par2,
                                    r->par2_type, r->par3,      r->par3_type};
    };
    using V = std::vector<int32_t>;
    EXPECT_EQ(slots(list[0]), (V{0, PAR_NONE, 0, PAR_NONE, 0, PAR_NONE}));
    EXPECT_EQ(slots(list[1]), (V{1, PAR_ACCU, 0, PAR_NONE, 0, PAR_NONE}));
    EXPECT_EQ(slots(list[2]), (V{2, PAR_NUMBER, 0, PAR_NONE, 0, PAR_NONE}));
    EXPECT_EQ(slots(list[3]), (V{3, PAR_ACCU, 2, PAR_ACCU, 0, PAR_NONE}));
    EXPECT_EQ(slots(list[4]), (V{5, PAR_NUMBER, 10, PAR_NUMBER, 0, PAR_NONE}));
    EXPECT_EQ(slots(list[5]), (V{0, PAR_ACCU, 3, PAR_NUMBER, 0, PAR_NONE}));
    EXPECT_EQ(slots(list[6]), (V{0, PAR_LABEL, 0, PAR_NONE, 0, PAR_NONE}));
    EXPECT_STREQ(list[6]->label, "there");
    EXPECT_EQ(slots(list[7]), (V{0, PAR_ACCU, 3, PAR_NUMBER, 0, PAR_LABEL}));
    EXPECT_STREQ(list[7]->label, "there");
    EXPECT_EQ(slots(list[8]), (V{2, PAR_ACCU, 4, PAR_NUMBER, 1, PAR_NUMBER}));
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i]->op_index, static_cast<int32_t>(i));
        EXPECT_EQ(list[i]->line, static_cast<int32_t>(i + 1));
        EXPECT_EQ(list[i]->address, 0);
        EXPECT_EQ(list[i]->size, 0);
    }
    EXPECT_EQ(list[4]->opcode, 80);
}

TEST_F(FrontEnd, LabelsAreLinkedToTheirStatements) {
    ASSERT_EQ(parse("nop\nfirst:\n\nadd x, y\nsecond: nop\nlast: nop\n"), 0);
    std::vector<const OpcodeRecord*> list = statements();
    ASSERT_EQ(list.size(), 4u);
    JumpLabelRecord* first = assembly_->symbols.find_jumplabel("first");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->line, 2);
    EXPECT_EQ(first->opcode, list[1]);
    EXPECT_EQ(list[1]->jumplabel, first);
    EXPECT_EQ(list[0]->jumplabel, nullptr);
    EXPECT_EQ(assembly_->symbols.find_jumplabel("second")->opcode, list[2]);
    EXPECT_EQ(assembly_->lists.start_jumplabel.prev, assembly_->symbols.find_jumplabel("last"));
    EXPECT_STREQ(assembly_->lists.start_jumplabel.next->name, "second");
}

TEST_F(FrontEnd, DroppedStatementsLeaveNoRecordAndDoNotCount) {
    EXPECT_EQ(parse("nop\nnop x x\nCONST K 5 6\nnop\n"), 0);
    std::vector<const OpcodeRecord*> list = statements();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]->op_index, 1) << "the dropped statement took no index";
    EXPECT_EQ(constant("K"), 5) << "a constant completed before the error stays";
    EXPECT_EQ(err_cnt(), 2);
}

TEST_F(FrontEnd, RecordsNameTheFileTheyCameFrom) {
    scratch_.write("inc/part.h", "nop\nnop\n");
    ASSERT_EQ(parse("nop\n#include \"inc/part.h\"\nnop\n"), 0);
    std::vector<const OpcodeRecord*> list = statements();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0]->file_name, main_path_);
    EXPECT_EQ(list[1]->file_name, (scratch_.path() / "inc/part.h").string());
    EXPECT_EQ(list[1]->file_name, list[2]->file_name) << "one shared name per file";
    EXPECT_EQ(list[2]->line, 2);
    EXPECT_EQ(list[3]->file_name, list[0]->file_name);
    EXPECT_EQ(list[3]->line, 3) << "the includer's line counter resumes";
}

// More statements than 32 maximum-size programs hold end the parse: the memory a source
// takes stays bounded.
TEST_F(FrontEnd, StatementsAreBounded) {
    const std::string most = repeat("nop\n", max_statements);
    ASSERT_EQ(parse(most), 0);
    EXPECT_EQ(assembly_->op_cnt, max_statements);
    EXPECT_EQ(messages(), "");

    start_over();
    EXPECT_EQ(parse(most + "nop\nnop\n"), 1);
    EXPECT_EQ(messages(),
              main_path_ + ":  Line 262145  ERROR: too many statements (at most 262144)\n");
    EXPECT_EQ(err_cnt(), 1);
    EXPECT_EQ(assembly_->lists.last_statement()->line, max_statements);
}

TEST_F(FrontEnd, EachAssemblyStartsClean) {
    for (int round = 0; round < 3; ++round) {
        start_over();
        ASSERT_EQ(parse("#define A\nCONST V 1\nl: nop\ngoto l\n"), 0) << messages();
        EXPECT_EQ(statements().size(), 2u);
        EXPECT_EQ(statements().front()->op_index, 0);
        EXPECT_EQ(err_cnt(), 0);
    }
}

} // namespace
