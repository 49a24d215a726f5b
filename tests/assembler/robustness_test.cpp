// Random sources built from the language's own pieces run through the scanner, the parser
// and the back end in one process: nothing may crash (the sanitizer build checks memory),
// every accepted source must leave consistent program lists.
#include "assembler/assembly.h"
#include "assembler/code_image.h"
#include "scratch_directory.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

constexpr std::array pieces{
    "nop",
    "add",
    "gotoBitC",
    "usrEprInit",
    "skip",
    "goto",
    "x",
    "y",
    "r",
    "z",
    ",",
    ",",
    ":",
    "(",
    ")",
    "+",
    "-",
    "*",
    "/",
    "0",
    "7",
    "0x1F",
    "-0.25",
    "0.7",
    "2147483647",
    "LIMIT",
    "lab",
    "lab2",
    "CONST",
    " ",
    "\t",
    "\n",
    "\n",
    "\n",
    "|",
    "\r",
    "; c\n",
    "<COMMENT>",
    "<ENDCOMMENT>",
    "\n#define A\n",
    "\n#ifdef A\n",
    "\n#ifdef B\n",
    "#else",
    "\n#else\n",
    "#endif",
    "$",
    "\n#include \"part.h\"\n",
    "\n#include \"nothere.h\"\n",
    "\n#include <lib.h>\n",
    "\n#include \"\"\n",
    "\xff",
};

std::string random_source(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 60);
    std::string source;
    for (int n = length(random); n > 0; --n) {
        source += pieces[pick(random)];
        if (pick(random) % 3 != 0) source += ' ';
    }
    return source;
}

// The statement ring is closed in both directions and numbered in order.
bool statement_list_is_consistent(const ProgramLists& lists) {
    const OpcodeRecord& start_opcode = lists.start_opcode;
    if (list_is_empty(start_opcode)) return true;
    int32_t expected_index = start_opcode.op_index;
    const OpcodeRecord* r = &start_opcode;
    do {
        if (r->next->prev != r || r->opcode < 0 || r->opcode > 80) return false;
        if (r->op_index != expected_index++) return false;
        r = r->next;
    } while (r != &start_opcode);
    return true;
}

// The back end on an accepted source: statements stay contiguous and the image holds them.
bool back_end_keeps_the_list_consistent(Assembly& assembly) {
    const Diagnostics& diag = assembly.diag;
    assembly.check_opcode();
    if (diag.err_cnt == 0) assembly.check_jump();
    int32_t address = 0;
    const ProgramLists& lists = assembly.lists;
    for (const OpcodeRecord* s = lists.first_statement(); s != nullptr;
         s = lists.next_statement(s)) {
        if (s->next->prev != s || (diag.err_cnt == 0 && s->address != address)) return false;
        address += s->size;
    }
    if (diag.err_cnt != 0 || diag.stopping() || address > max_program_size) return true;
    return build_code_image(assembly).length == address;
}

TEST(Robustness, RandomSourcesNeverCrashAndLeaveConsistentLists) {
    ScratchDirectory scratch;
    scratch.write("part.h", "CONST LIMIT 3\nlab3: nop\n");
    FILE* sink = std::fopen("/dev/null", "w");
    ASSERT_NE(sink, nullptr);
    std::mt19937 random(71);
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        std::string source = random_source(random);
        const std::string path = (scratch.path() / "main.asm").string();
        Assembly assembly(sink, sink);
        int result = assembly.parse_source(path, *SourceText::of(source));
        ASSERT_TRUE(statement_list_is_consistent(assembly.lists)) << source;
        if (result != 0 || assembly.diag.err_cnt != 0 || assembly.diag.stopping()) continue;
        ++accepted;
        ASSERT_TRUE(back_end_keeps_the_list_consistent(assembly)) << source;
    }
    std::fclose(sink);
    EXPECT_GT(accepted, 0) << "some sources should be valid";
}

} // namespace
