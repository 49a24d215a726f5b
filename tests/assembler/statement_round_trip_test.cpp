// Every statement that tarn accepts, in every operand form of the instruction table and with
// every accumulator pair, decodes from the code image back to itself, with the size tarn
// gave it: what the chip reads is what the source says. The table drives it; the documented
// exceptions are swap (one byte for both operand orders, nop for x, z or r with itself), addepr
// (its accumulator is not encoded) and equal (a data word, not an instruction).
#include "in_process_assembly.h"
#include "isa/decode.h"
#include "isa/instruction_table.h"
#include "source_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using isa::Operand;
using isa::OperandKind;

// Where the jump label `t` stands relative to the statement.
enum class Target { none, before, after, far_after };

struct Candidate {
    std::vector<std::string> texts; // operands as written
    isa::Operands operands;         // and as decoded; a label's value is filled in later
};

// Numbers worth writing in one position: the ends of its range and the values where a field
// or a form changes.
std::vector<int> numbers_for(const isa::Slot& slot) {
    std::vector<int> values;
    for (long v :
         {0L, 1L, 2L, 3L, 7L, 8L, 15L, 16L, 23L, 63L, 64L, 127L, 128L, 255L, 0x8000L, 0xFFFFFFL})
        if (v >= slot.min && v <= slot.max) values.push_back(static_cast<int>(v));
    return values;
}

// Every combination of operands of the kinds `kinds`, with every accumulator in each
// accumulator position.
std::vector<Candidate> candidates(const isa::Mnemonic& m, const std::array<OperandKind, 3>& kinds) {
    std::vector<Candidate> result{{}};
    for (int i = 0; i < 3; ++i) {
        std::vector<Candidate> extended;
        for (const Candidate& c : result) {
            auto add = [&](const std::string& text, Operand operand) {
                Candidate next = c;
                next.texts.push_back(text);
                next.operands[static_cast<std::size_t>(i)] = operand;
                extended.push_back(next);
            };
            switch (kinds[static_cast<std::size_t>(i)]) {
            case OperandKind::none:
                extended.push_back(c);
                break;
            case OperandKind::accumulator:
                for (int a = isa::acc_x; a <= isa::acc_r; ++a)
                    add(std::string(1, "xyzr"[a]), Operand::accu(a));
                break;
            case OperandKind::number:
                for (int v : numbers_for(m.rules.positions[static_cast<std::size_t>(i)]))
                    add(std::to_string(v), Operand::number(v));
                break;
            case OperandKind::label:
                add("t", Operand::target(0));
                break;
            }
        }
        result = extended;
    }
    return result;
}

// The label placements a form's jump is tried with: near for the short forms, far for the
// long ones (a bit jump that cannot reach is split into a bit skip and a goto).
std::vector<Target> targets_for(const isa::Form& form) {
    switch (form.layout) {
    case isa::Layout::short_jump:
    case isa::Layout::bit_jump:
        return {Target::before, Target::after};
    case isa::Layout::long_jump:
        return {Target::before, Target::far_after};
    default:
        return {Target::none};
    }
}

std::string source_of(const isa::Mnemonic& m, const Candidate& c, Target target) {
    std::string statement = std::string(m.source);
    for (std::size_t i = 0; i < c.texts.size(); ++i)
        statement += (i == 0 ? " " : ", ") + c.texts[i];
    statement += "\n";
    switch (target) {
    case Target::none:
        return statement;
    case Target::before:
        return "t: nop\n" + statement;
    case Target::after:
        return statement + "t: nop\n";
    case Target::far_after:
        return statement + repeat("nop\n", 200) + "t: nop\n";
    }
    return statement;
}

struct Tally {
    int accepted = 0;
    int refused = 0;
};

// Assembles one statement; when tarn accepts it, checks what its code decodes to.
void check_statement(const isa::Mnemonic& m, Candidate c, Target target, Tally& tally) {
    const std::string source = source_of(m, c, target);
    const InProcessAssembly result = assemble_in_process(source);
    if (!result.image || !result.messages.empty()) {
        ++tally.refused;
        return;
    }
    ++tally.accepted;
    const ProgramLists& lists = result.assembly->lists;
    const OpcodeRecord* statement = lists.first_statement();
    if (target == Target::before) statement = lists.next_statement(statement);
    ASSERT_NE(statement, nullptr) << source;
    for (Operand& operand : c.operands)
        if (operand.kind == OperandKind::label)
            operand.value = result.assembly->symbols.find_jumplabel("t")->opcode->address;

    const isa::Decoded decoded = isa::decode_at(
        std::span(result.image->bytes).first(static_cast<std::size_t>(result.image->length)),
        statement->address);
    ASSERT_TRUE(decoded.ok()) << source;
    const isa::Instruction& read = decoded.instruction;
    EXPECT_EQ(read.size, statement->size) << source;
    if (m.number == isa::op_swap) {
        // One byte for both orders; x, z and r swapped with themselves are the nop byte 0x00.
        const bool nop = c.operands[0] == c.operands[1] && c.operands[0].value != isa::acc_y;
        EXPECT_EQ(read.opcode, nop ? isa::op_nop : isa::op_swap) << source;
        if (!nop) {
            const bool same_order = read.operands == c.operands;
            const bool turned =
                read.operands[0] == c.operands[1] && read.operands[1] == c.operands[0];
            EXPECT_TRUE(same_order || turned) << source;
        }
        return;
    }
    EXPECT_EQ(read.opcode, m.number) << source;
    if (m.number != isa::op_addepr) {
        EXPECT_EQ(read.operands, c.operands) << source;
    }
}

TEST(StatementRoundTrip, EveryAcceptedStatementDecodesToItself) {
    int forms = 0;
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        if (m.number == isa::op_equal) continue; // data, not an instruction
        for (const isa::Form& form : m.forms) {
            if (form.layout == isa::Layout::none) continue;
            ++forms;
            Tally tally;
            for (const Candidate& c : candidates(m, isa::layout_kinds(form.layout)))
                for (Target target : targets_for(form))
                    check_statement(m, c, target, tally);
            EXPECT_GT(tally.accepted, 0) << m.source << ": no statement of this form accepted";
            if (HasFailure()) return;
        }
    }
    EXPECT_EQ(forms, 94); // every coded form but equal's
}

// The pairs refused are exactly the ones the chip would misread, and swap's r with z.
TEST(StatementRoundTrip, OneAccumulatorTwiceIsRefusedWhereItWouldReadAsAConstant) {
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        if (m.forms[0].layout != isa::Layout::pair && m.forms[0].layout != isa::Layout::ext_pair &&
            m.forms[0].layout != isa::Layout::swap)
            continue;
        for (int a = isa::acc_x; a <= isa::acc_r; ++a) {
            for (int b = isa::acc_x; b <= isa::acc_r; ++b) {
                const std::string source =
                    std::string(m.source) + " " + "xyzr"[a] + ", " + "xyzr"[b] + "\n";
                const bool refused = !assemble_in_process(source).messages.empty();
                const bool misread = a == b && isa::has_constant_form(m.number);
                const bool unsupported = m.number == isa::op_swap && isa::is_unsupported_swap(a, b);
                EXPECT_EQ(refused, misread || unsupported) << source;
            }
        }
    }
}

} // namespace
