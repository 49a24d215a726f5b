// Jump and skip resolution: the pieces of check_jump that work on one statement.
#pragma once

#include "assembler/program_lists.h"

// Repairs the skips in the three statements in front of `split`, a bit jump that has just
// become a bit skip and a long goto: a skip whose range reaches it counts one statement
// more, or becomes a jump (procedure1) where its count would exceed 3.
void fix_skip(OpcodeRecord& split);

// Turns a skip into the jump of its condition, aimed at the statement the skip landed on
// before the split behind it: the (count + 2)-th statement after it, or the address just
// after the program when the list ends before that.
void procedure1(OpcodeRecord& skip);
