// Random sources built from the language's own pieces run through the scanner, the parser
// and the back end in one process: nothing may crash (the sanitizer build checks memory),
// every accepted source must leave consistent program lists, and every run must start clean.
#include "assembler/backend.h"
#include "assembler/code_image.h"
#include "assembler/diagnostics.h"
#include "assembler/front_end.h"
#include "assembler/program_lists.h"
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
bool statement_list_is_consistent() {
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
bool back_end_keeps_the_list_consistent() {
    reset_backend();
    check_opcode();
    if (err_cnt == 0) check_jump();
    int32_t address = 0;
    for (const OpcodeRecord* s = first_statement(); s != nullptr; s = next_statement(s)) {
        if (s->next->prev != s || (err_cnt == 0 && s->address != address)) return false;
        address += s->size;
    }
    if (err_cnt != 0 || stopping() || address > max_program_size) return true;
    return build_code_image().length == address;
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
        scratch.write("main.asm", source);
        std::string path = (scratch.path() / "main.asm").string();
        reset_front_end();
        set_diagnostic_streams(sink, sink);
        FILE* input = std::fopen(path.c_str(), "r");
        ASSERT_NE(input, nullptr);
        int result = parse_source(path.c_str(), input);
        std::fclose(input);
        ASSERT_TRUE(statement_list_is_consistent()) << source;
        if (result != 0 || err_cnt != 0 || stopping()) continue;
        ++accepted;
        ASSERT_TRUE(back_end_keeps_the_list_consistent()) << source;
    }
    set_diagnostic_streams(nullptr, nullptr);
    reset_front_end();
    std::fclose(sink);
    EXPECT_GT(accepted, 0) << "some sources should be valid";
}

} // namespace
