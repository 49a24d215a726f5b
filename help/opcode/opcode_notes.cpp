// The notes table of the opcode help. Effects on accumulators and flags are those of the kit's
// chip model (the simulator), which is what kz71sim and the simulated programmer execute.
#include "help/opcode/opcode_notes.h"

#include <array>

namespace help {
namespace {

constexpr unsigned all_flags = signum | not_equal | overflow | carry;
constexpr unsigned sign_zero = signum | not_equal;
constexpr unsigned no_flags = 0;

constexpr std::string_view result_flags =
    "Signum: bit 23 of the result. Not Equal: set when the result is not 0.";
constexpr std::string_view add_flags =
    "Carry: carry out of bit 23. Overflow: the signed sum does not fit into 24 bits. "
    "Signum: bit 23 of the result. Not Equal: set when the result is not 0.";
constexpr std::string_view sub_flags =
    "Carry: borrow, set when the first operand is below the second (unsigned). Overflow: the "
    "signed difference does not fit into 24 bits. Signum: bit 23 of the result. Not Equal: set "
    "when the result is not 0.";
constexpr std::string_view shift_flags =
    "Carry: the last bit moved out. Signum: bit 23 of the result. Not Equal: set when the "
    "result is not 0.";
constexpr std::string_view negate_flags =
    "Overflow: set for 0x800000 (-8388608), which has no positive counterpart, cleared "
    "otherwise. Signum: bit 23 of the result. Not Equal: set when the result is not 0.";
constexpr std::string_view divide_flags =
    "Overflow: set on a division by 0, which leaves both operands unchanged; cleared otherwise. "
    "Signum and Not Equal follow the quotient (unchanged on a division by 0).";

constexpr std::string_view not_same_twice =
    "The two operands must be different accumulators: a statement such as add y, y is refused.";
constexpr std::string_view wide_summary =
    "48-bit form: a keyword of the language that the KZ71 assembler does not support.";
constexpr std::string_view wide_details =
    "A statement with this mnemonic is read like any other, but the assembler reports "
    "\"opcode not found!!!\" on its line and writes no output files.";
constexpr std::string_view eeprom_cell =
    "The user EEPROM cell is the one the RAM address names (set with ramadr), modulo 128.";
constexpr std::string_view clock_details =
    "The simulator does not model the measurement clocks and passes over this instruction.";
constexpr std::string_view skip_details =
    "The count is a number of statements, not of bytes. When the assembler splits one of the "
    "skipped statements in two, it raises the count, or turns the skip into the jump of the "
    "same condition when the count would exceed 3.";
constexpr std::string_view jump_details =
    "The assembler chooses the short or the long form from the distance to the label.";

constexpr std::array<OpcodeNote, isa::mnemonic_count> notes{{
    {"abs", signum | not_equal | overflow, negate_flags,
     "Replaces the accumulator by its absolute value.", "",
     "        move x, 0xFFFFFB    ; x = -5 (24-bit two's complement)\n"
     "        abs x               ; x = 5"},
    {"add", all_flags, add_flags, "Adds the second operand to the accumulator of the first.",
     not_same_twice,
     "        move x, 1000\n"
     "        move y, 24\n"
     "        add x, y            ; x = 1024\n"
     "        add x, 0x10         ; x = 1040"},
    {"add48r", no_flags, "", wide_summary, wide_details, ""},
    {"add48x", no_flags, "", wide_summary, wide_details, ""},
    {"addepr", all_flags, add_flags, "Adds the user EEPROM cell at the RAM address to x.",
     "The accumulator operand is not encoded: the instruction always adds to x, so write "
     "addepr x. The user EEPROM cell is the one the RAM address names (set with ramadr), "
     "modulo 128.",
     "        ramadr 5            ; user EEPROM cell 5\n"
     "        clear x\n"
     "        addepr x            ; x = cell 5"},
    {"and", sign_zero, result_flags,
     "Bitwise AND of the accumulator of the first operand with the second.", not_same_twice,
     "        move x, 0x123456\n"
     "        and x, 0x00FFFF     ; x = 0x003456\n"
     "        move y, 0xFF\n"
     "        and x, y            ; x = 0x000056"},
    {"bitclr", no_flags, "", "Clears bit n of the accumulator.", "",
     "        move y, 0xFF\n"
     "        bitclr y, 0         ; y = 0xFE"},
    {"bitinv", no_flags, "", "Inverts bit n of the accumulator.", "",
     "        move z, 0x10\n"
     "        bitinv z, 4         ; z = 0\n"
     "        bitinv z, 23        ; z = 0x800000"},
    {"bitset", no_flags, "", "Sets bit n of the accumulator.", "",
     "        ramadr 10\n"
     "        clear r             ; RAM cell 10 = 0\n"
     "        bitset r, 7         ; RAM cell 10 = 0x80"},
    {"clear", sign_zero, "Signum and Not Equal are cleared.", "Sets the accumulator to 0.", "",
     "        clear z             ; z = 0"},
    {"clk10khz", no_flags, "", "Sets the 10 kHz measurement clock; the operand is 0 or 1.",
     "The debugger refuses to run a program that contains this instruction: remove it or "
     "comment it out before debugging. The simulator does not model the measurement clocks "
     "and passes over it.",
     "        clk10khz 1"},
    {"clk675khz", no_flags, "", "Sets the 675 kHz measurement clock; the operand is 0 or 1.",
     clock_details, "        clk675khz 1"},
    {"clk4mhz", no_flags, "", "Sets the 4 MHz measurement clock; the operand is 0 or 1.",
     clock_details, "        clk4mhz 0"},
    {"clrC", carry, "Carry is cleared.", "Clears the Carry flag.", "",
     "        clrC\n"
     "        rotL x              ; a 0 comes in at bit 0"},
    {"clrwdt", no_flags, "", "Restarts the watchdog timer.",
     "A program that runs in a loop clears the watchdog once per pass. The simulator does not "
     "model the watchdog.",
     "loop:   clrwdt\n"
     "        newcyc\n"
     "        goto loop"},
    {"compare", all_flags, sub_flags,
     "Subtracts the second operand from the accumulator of the first and sets the flags; the "
     "result is dropped.",
     "Used before a conditional jump or skip. The two operands must be different accumulators.",
     "        move x, 7\n"
     "        compare x, 7\n"
     "        gotoEQ same         ; taken: x equals 7\n"
     "        incr x\n"
     "same:   stop"},
    {"compl", signum | not_equal | overflow, negate_flags,
     "Replaces the accumulator by its two's complement (the negative value).", "",
     "        move y, 100\n"
     "        compl y             ; y = -100 (0xFFFF9C)"},
    {"decr", all_flags, sub_flags, "Subtracts 1 from the accumulator.", "",
     "        move z, 10\n"
     "loop:   decr z\n"
     "        gotoNE loop         ; ten passes"},
    {"decramadr", no_flags, "", "Lowers the RAM address by 1 (255 follows 0).", "",
     "        ramadr 20\n"
     "        decramadr           ; RAM address 19"},
    {"div24", signum | not_equal | overflow, divide_flags,
     "Divides the first accumulator by the second (signed, the quotient rounded towards 0).", "",
     "        move x, 100\n"
     "        move y, 7\n"
     "        div24 x, y          ; x = 14"},
    {"div48", no_flags, "", wide_summary, wide_details, ""},
    {"divmod", signum | not_equal | overflow, divide_flags,
     "Divides the first accumulator by the second (signed): the first receives the quotient, "
     "the second the remainder.",
     "",
     "        move x, 100\n"
     "        move y, 7\n"
     "        divmod x, y         ; x = 14, y = 2"},
    {"eor", sign_zero, result_flags,
     "Bitwise exclusive OR of the accumulator of the first operand with the second.",
     not_same_twice,
     "        move x, 0x0F0F0F\n"
     "        eor x, 0xFFFFFF     ; x = 0xF0F0F0"},
    {"eorn", sign_zero, result_flags,
     "Bitwise exclusive OR of the first operand with the second, inverted: NOT (a XOR b).",
     not_same_twice,
     "        move x, 0x00FF00\n"
     "        move y, 0x00F000\n"
     "        eorn x, y           ; x = 0xFFF0FF"},
    {"equal", no_flags, "", "Places a 24-bit value into the code as a data word of three bytes.",
     "It is not an instruction: the bytes stand in the program as they are, so keep data words "
     "where the program never runs into them, for example behind a stop.",
     "        stop\n"
     "table:  equal 0x123456      ; bytes 0x12 0x34 0x56\n"
     "        equal 0.25          ; bytes 0x40 0x00 0x00"},
    {"getepr", sign_zero, result_flags,
     "Loads the user EEPROM cell at the RAM address into the accumulator.", eeprom_cell,
     "        ramadr 3            ; user EEPROM cell 3\n"
     "        getepr y            ; y = cell 3"},
    {"getflag", no_flags, "",
     "Loads the flags into the accumulator: bit 3 Signum, bit 2 Not Equal, bit 1 Overflow, "
     "bit 0 Carry.",
     "",
     "        compare x, 1\n"
     "        getflag y           ; y = flags of the comparison"},
    {"goto", no_flags, "", "Jumps to the label.", jump_details,
     "loop:   incr x\n"
     "        goto loop"},
    {"gotoBitC", no_flags, "", "Jumps to the label when bit n of the accumulator is clear.",
     "A target out of reach of the short form makes the assembler split the statement into "
     "skipBitS over a long goto.",
     "        gotoBitC x, 0, even ; bit 0 clear: x is even\n"
     "        incr x\n"
     "even:   stop"},
    {"gotoBitS", no_flags, "", "Jumps to the label when bit n of the accumulator is set.",
     "A target out of reach of the short form makes the assembler split the statement into "
     "skipBitC over a long goto.",
     "        gotoBitS y, 23, negative ; bit 23 set: y is negative\n"
     "        stop\n"
     "negative:\n"
     "        compl y\n"
     "        stop"},
    {"gotoCarC", no_flags, "", "Jumps to the label when Carry is clear.", jump_details,
     "        compare x, 100\n"
     "        gotoCarC high       ; Carry clear: x is 100 or more\n"
     "        move x, 100\n"
     "high:   stop"},
    {"gotoCarS", no_flags, "", "Jumps to the label when Carry is set.", jump_details,
     "        add x, y\n"
     "        gotoCarS carried    ; carry out of bit 23\n"
     "        stop\n"
     "carried:\n"
     "        move x, 0xFFFFFF\n"
     "        stop"},
    {"gotoEQ", no_flags, "",
     "Jumps to the label when Not Equal is clear: the last result was 0, or a comparison found "
     "both operands equal.",
     jump_details,
     "        compare x, 0\n"
     "        gotoEQ zero         ; x is 0\n"
     "        decr x\n"
     "zero:   stop"},
    {"gotoNE", no_flags, "",
     "Jumps to the label when Not Equal is set: the last result was not 0, or a comparison "
     "found the operands different.",
     jump_details,
     "        move z, 10\n"
     "loop:   decr z\n"
     "        gotoNE loop         ; ten passes"},
    {"gotoNeg", no_flags, "", "Jumps to the label when Signum is set (a negative result).",
     jump_details,
     "        sub x, y\n"
     "        gotoNeg below       ; the difference is negative\n"
     "        stop\n"
     "below:  clear x\n"
     "        stop"},
    {"gotoOvrC", no_flags, "", "Jumps to the label when Overflow is clear.", jump_details,
     "        mult24 x, y\n"
     "        gotoOvrC fits       ; the product fits into 24 bits\n"
     "        move x, 0x7FFFFF\n"
     "fits:   stop"},
    {"gotoOvrS", no_flags, "", "Jumps to the label when Overflow is set.", jump_details,
     "        div24 x, y\n"
     "        gotoOvrS by_zero    ; y was 0\n"
     "        stop\n"
     "by_zero:\n"
     "        clear x\n"
     "        stop"},
    {"gotoPos", no_flags, "", "Jumps to the label when Signum is clear (a result of 0 or more).",
     jump_details,
     "        compare x, y\n"
     "        gotoPos done        ; x - y is not negative\n"
     "        swap x, y\n"
     "done:   stop"},
    {"incr", all_flags, add_flags, "Adds 1 to the accumulator.", "",
     "        incr x              ; x = x + 1"},
    {"incramadr", no_flags, "", "Raises the RAM address by 1 (0 follows 255).", "",
     "        ramadr 8\n"
     "        move r, 1           ; RAM cell 8 = 1\n"
     "        incramadr\n"
     "        move r, 2           ; RAM cell 9 = 2"},
    {"initTDC", no_flags, "", "Initialises the time-to-digital converter.",
     "The simulator does not model the converter and passes over this instruction.",
     "        initTDC\n"
     "loop:   newcyc\n"
     "        goto loop"},
    {"invert", sign_zero, result_flags, "Inverts every bit of the accumulator (NOT).", "",
     "        move x, 0x00FFFF\n"
     "        invert x            ; x = 0xFF0000"},
    {"jsub", no_flags, "",
     "Calls the subroutine at the label: the address behind the call is kept for jsubret.",
     "Calls can be nested; the chip keeps 8 return addresses (a ninth call overwrites the "
     "oldest).",
     "        jsub double         ; x = 2 * x\n"
     "        stop\n"
     "double: shiftL x\n"
     "        jsubret"},
    {"jsubret", no_flags, "", "Returns from a subroutine to the statement behind its jsub.", "",
     "        jsub double         ; x = 2 * x\n"
     "        stop\n"
     "double: shiftL x\n"
     "        jsubret"},
    {"move", sign_zero, result_flags,
     "Copies the second operand into the accumulator of the first.",
     "The two operands must be different accumulators.",
     "        move x, 1234        ; a number\n"
     "        move y, x           ; an accumulator\n"
     "        move r, 0.125       ; a fraction: 0x200000 into the RAM cell"},
    {"move48r", no_flags, "", wide_summary, wide_details, ""},
    {"move48x", no_flags, "", wide_summary, wide_details, ""},
    {"mult24", signum | not_equal | overflow,
     "Overflow: set when the signed product does not fit into 24 bits. Signum: bit 23 of the "
     "result. Not Equal: set when the result is not 0.",
     "Multiplies the first accumulator by the second (signed) and keeps the low 24 bits of the "
     "product in the first.",
     "",
     "        move x, 300\n"
     "        move y, 40\n"
     "        mult24 x, y         ; x = 12000"},
    {"mult48", signum | not_equal | overflow,
     "Overflow is cleared. Signum and Not Equal follow the high 24 bits.",
     "Multiplies the first accumulator by the second (signed) into a 48-bit product: the high "
     "24 bits go to the first, the low 24 bits to the second.",
     "",
     "        move x, 0x100000\n"
     "        move y, 0x000100\n"
     "        mult48 x, y         ; x = 0x000010, y = 0x000000"},
    {"nand", sign_zero, result_flags,
     "Bitwise AND of the first operand with the second, inverted: NOT (a AND b).", not_same_twice,
     "        move x, 0xFF00FF\n"
     "        nand x, 0x0F0F0F    ; x = 0xF0FFF0"},
    {"newcyc", no_flags, "", "Starts a new measurement cycle.",
     "The simulator does not model measurement cycles and passes over this instruction.",
     "loop:   newcyc\n"
     "        incr x              ; count the cycles\n"
     "        goto loop"},
    {"nop", no_flags, "", "Does nothing.", "", "        nop"},
    {"nor", sign_zero, result_flags,
     "Bitwise OR of the first operand with the second, inverted: NOT (a OR b).", not_same_twice,
     "        move x, 0x0000FF\n"
     "        nor x, 0x00FF00     ; x = 0xFF0000"},
    {"or", sign_zero, result_flags,
     "Bitwise OR of the accumulator of the first operand with the second.", not_same_twice,
     "        or x, 0x800000      ; set bit 23"},
    {"putepr", no_flags, "",
     "Writes the low byte of the accumulator into the user EEPROM cell at the RAM address.",
     eeprom_cell,
     "        ramadr 2            ; user EEPROM cell 2\n"
     "        move y, 0x42\n"
     "        putepr y            ; cell 2 = 0x42"},
    {"ramadr", no_flags, "",
     "Sets the RAM address: the RAM cell that the accumulator r stands for, and the user EEPROM "
     "cell of getepr, putepr and addepr.",
     "",
     "        ramadr 10           ; one byte\n"
     "        move r, x           ; RAM cell 10 = x\n"
     "        ramadr 200          ; two bytes\n"
     "        move r, y           ; RAM cell 200 = y"},
    {"ramadrext", no_flags, "", wide_summary, wide_details, ""},
    {"rotL", carry | sign_zero, shift_flags,
     "Rotates the 24 bits of the accumulator to the left by one place, or by the count.",
     "A count of 0 rotates nothing.",
     "        rotL x              ; by one place\n"
     "        rotL x, 8           ; by eight places"},
    {"rotR", carry | sign_zero, shift_flags,
     "Rotates the 24 bits of the accumulator to the right by one place, or by the count.",
     "A count of 0 rotates nothing.",
     "        rotR y              ; by one place\n"
     "        rotR y, 12          ; swaps the two halves of y"},
    {"setC", carry, "Carry is set.", "Sets the Carry flag.", "",
     "        setC\n"
     "        rotR x              ; the Carry comes in at bit 23"},
    {"shiftL", carry | sign_zero, shift_flags,
     "Shifts the accumulator to the left by one place, or by the count; 0 comes in at bit 0.", "",
     "        shiftL x            ; x = 2 * x\n"
     "        shiftL y, 4         ; y = 16 * y"},
    {"shiftR", carry | sign_zero, shift_flags,
     "Shifts the accumulator to the right by one place, or by the count, keeping its sign "
     "(arithmetic shift).",
     "", "        shiftR x, 2         ; x = x / 4, rounded down"},
    {"sign", sign_zero, result_flags, "Replaces the accumulator by its sign: -1, 0 or 1.", "",
     "        sign x              ; x = -1, 0 or 1"},
    {"skip", no_flags, "", "Passes over the next c statements.", skip_details,
     "        skip 1              ; passes over the incr\n"
     "        incr x\n"
     "        stop"},
    {"skipBitC", no_flags, "",
     "Passes over the next c statements when bit n of the accumulator is clear.", skip_details,
     "        skipBitC x, 0, 1    ; bit 0 clear: x is even already\n"
     "        incr x              ; an odd x is rounded up to even"},
    {"skipBitS", no_flags, "",
     "Passes over the next c statements when bit n of the accumulator is set.", skip_details,
     "        skipBitS y, 23, 1   ; bit 23 set: y is negative already\n"
     "        compl y             ; y = -|y|"},
    {"skipCarC", no_flags, "", "Passes over the next c statements when Carry is clear.",
     skip_details,
     "        compare x, 100\n"
     "        skipCarC 1          ; x is 100 or more: keep it\n"
     "        move x, 100         ; raise x to 100"},
    {"skipCarS", no_flags, "", "Passes over the next c statements when Carry is set.", skip_details,
     "        compare x, 100\n"
     "        skipCarS 1          ; x is below 100: keep it\n"
     "        move x, 100         ; limit x to 100"},
    {"skipEQ", no_flags, "", "Passes over the next c statements when Not Equal is clear.",
     skip_details,
     "        compare x, y\n"
     "        skipEQ 2            ; equal: pass over the next two statements\n"
     "        incr z\n"
     "        move x, y"},
    {"skipNE", no_flags, "", "Passes over the next c statements when Not Equal is set.",
     skip_details,
     "        compare x, 0\n"
     "        skipNE 1            ; x is not 0: keep it\n"
     "        incr x              ; turns 0 into 1"},
    {"skipNeg", no_flags, "", "Passes over the next c statements when Signum is set.", skip_details,
     "        move y, x\n"
     "        skipNeg 1           ; x is negative: keep y\n"
     "        clear y"},
    {"skipOvrC", no_flags, "", "Passes over the next c statements when Overflow is clear.",
     skip_details,
     "        add x, y\n"
     "        skipOvrC 1          ; no signed overflow: keep the sum\n"
     "        move x, 0x7FFFFF    ; overflow: the largest positive value"},
    {"skipOvrS", no_flags, "", "Passes over the next c statements when Overflow is set.",
     skip_details,
     "        mult24 x, y\n"
     "        skipOvrS 1          ; the product does not fit\n"
     "        stop\n"
     "        move x, 0x7FFFFF\n"
     "        stop"},
    {"skipPos", no_flags, "", "Passes over the next c statements when Signum is clear.",
     skip_details,
     "        sub x, y\n"
     "        skipPos 1           ; x - y is not negative: keep it\n"
     "        clear x"},
    {"stop", no_flags, "", "Ends the program: the program address stays on this statement.",
     "The debugger and kz71sim report the end of the program when they reach it.",
     "        incr x\n"
     "        stop"},
    {"sub", all_flags, sub_flags, "Subtracts the second operand from the accumulator of the first.",
     not_same_twice,
     "        sub x, y\n"
     "        sub z, 1000"},
    {"sub48r", no_flags, "", wide_summary, wide_details, ""},
    {"sub48x", no_flags, "", wide_summary, wide_details, ""},
    {"swap", no_flags, "", "Exchanges the contents of two accumulators.",
     "Swapping an accumulator with itself changes nothing and is encoded as nop.",
     "        swap x, y           ; exchanges x and y\n"
     "        swap x, r           ; x with the RAM cell"},
    {"swap48", no_flags, "", wide_summary, wide_details, ""},
    {"usrEprInit", no_flags, "", "Gives a user EEPROM cell its value in the .epr file; no code.",
     "The download programs these cells after the program. A cell defined twice keeps its first "
     "value, and the assembler reports \"eeprom user cell 5 already defined\" for cell 5.",
     "        usrEprInit 0, 0x10  ; cell 0 = 0x10\n"
     "        usrEprInit 1, 200   ; cell 1 = 200\n"
     "        nop"},
}};

} // namespace

std::span<const OpcodeNote> opcode_notes() {
    return notes;
}

} // namespace help
