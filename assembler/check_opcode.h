// Operand checks of one statement. Each prints its messages in the back end's form through
// `diag`, counts them, and returns true when the operands fit.
#pragma once

#include "assembler/diagnostics.h"
#include "assembler/program_lists.h"

#include <cstdint>

// The general check: for each of the three positions the expected kind (PAR_NONE for an
// empty position) and, for a number, its largest value. Too many or too few operands end
// the check; then wrong kinds, then numbers out of range, each from the third position to
// the first.
bool check_parameter(Diagnostics& diag, const OpcodeRecord& statement, uint32_t max1, int32_t type1,
                     uint32_t max2, int32_t type2, uint32_t max3, int32_t type3);

// The two-operand arithmetic and logic: an accumulator, then another accumulator or a
// 24-bit constant. One accumulator twice is refused: its code would be the first byte of
// the constant form, and the chip would take the next three bytes as the constant.
bool check_parameter2(Diagnostics& diag, const OpcodeRecord& statement);

// Shifts and rotations: an accumulator, then an optional count of 0..15.
bool check_parameter3(Diagnostics& diag, const OpcodeRecord& statement);
