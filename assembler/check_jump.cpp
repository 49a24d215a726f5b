// check_jump: lengthens every jump whose target lies out of reach of its short form, splits
// bit jumps that cannot reach, and repairs the skips in front of a split, in passes over
// the whole list until a pass changes nothing.
//
// Growth moves every later statement at once, so later distance checks of the same pass
// see the new addresses. Rather than rewriting every later address on each growth, a pass
// keeps the growth so far in `shift`: a statement the pass has not reached yet lies `shift`
// bytes above its recorded address, and is given its true address when the walk reaches
// it. A pass thus costs time linear in the list, and as every change makes the program
// larger and nothing shrinks, the passes are at most as many as the bytes added.
#include "assembler/assembly.h"
#include "assembler/statements.h"
#include "isa/mnemonics.h"

namespace {

// Size of a mnemonic's first (short) form.
int32_t short_size(int opcode) {
    return isa::initial_size(opcode, {});
}

// The passes of check_jump over one assembly's statement list.
class JumpResolution {
public:
    explicit JumpResolution(Assembly& assembly) : lists_(assembly.lists), diag_(assembly.diag) {}

    void run() {
        if (lists_.first_statement() == nullptr) return;
        // Pass numbers start at 1: no statement may carry a mark of an earlier resolution.
        for (OpcodeRecord* s = lists_.first_statement(); s != nullptr; s = lists_.next_statement(s))
            s->placed_in_pass = 0;
        do {
            if (!walk()) return;
        } while (pass_.changed);
    }

private:
    struct Pass {
        uint32_t number = 0; // marks the statements this pass has placed
        int32_t shift = 0;   // growth not yet added to the statements ahead of the walk
        bool changed = false;
    };

    bool placed(const OpcodeRecord* statement) const {
        return statement->placed_in_pass == pass_.number;
    }

    // True code address of a statement (or program end) at this point of the pass.
    int32_t address_now(const OpcodeRecord* statement) {
        if (statement == lists_.program_end()) {
            const OpcodeRecord* last = lists_.last_statement();
            return address_now(last) + last->size;
        }
        return placed(statement) ? statement->address : statement->address + pass_.shift;
    }

    // Makes a statement the walk has placed `growth` bytes larger; everything after it moves.
    void grow(OpcodeRecord& statement, int32_t growth) {
        statement.size += growth;
        for (OpcodeRecord* s = lists_.next_statement(&statement); s != nullptr && placed(s);
             s = lists_.next_statement(s))
            s->address += growth;
        pass_.shift += growth;
        pass_.changed = true;
    }

    void end_run_with_missing_target(const OpcodeRecord& jump) {
        if (isa::is_bit_jump(jump.opcode))
            diag_.report_backend_error(jump.file_name, jump.line, "jumplabel '%s' not found %x",
                                       jump.label != nullptr ? jump.label : "",
                                       static_cast<unsigned>(jump.op_index));
        else
            diag_.report_backend_error(jump.file_name, jump.line, "jumplabel not found");
        diag_.request_stop(Stop::end_run);
    }

    // Turns a skip into the jump of its condition, aimed at the statement the skip landed on
    // before the split behind it: the (count + 2)-th statement after it, or the address just
    // after the program when the list ends before that.
    void procedure1(OpcodeRecord& skip) {
        const int32_t count = operand_value(skip, isa::skip_count_operand(skip.opcode));
        OpcodeRecord* target = &skip;
        for (int32_t i = 0; i < count + 2 && target != nullptr; ++i)
            target = lists_.next_statement(target);
        const int jump = isa::jump_for_skip(skip.opcode);
        const int position = isa::label_operand(jump);
        skip.opcode = jump;
        operand_value(skip, position) = 0;
        operand_type(skip, position) = PAR_LABEL;
        skip.label = nullptr;
        skip.target = target != nullptr ? target : lists_.program_end();
        grow(skip, short_size(jump) - skip.size);
    }

    // Repairs the skips in the three statements in front of `split`, a bit jump that has
    // just become a bit skip and a long goto: a skip whose range reaches it counts one
    // statement more, or becomes a jump (procedure1) where its count would exceed 3.
    void fix_skip(OpcodeRecord& split) {
        OpcodeRecord* statement = &split;
        for (int distance = 1; distance <= 3; ++distance) {
            statement = lists_.previous_statement(statement);
            if (statement == nullptr) return;
            if (!isa::is_skip(statement->opcode)) continue;
            int32_t& count = operand_value(*statement, isa::skip_count_operand(statement->opcode));
            if (count < distance) continue;
            if (count >= 3)
                procedure1(*statement);
            else
                ++count;
        }
    }

    // Replaces a bit jump by the opposite bit skip over a new long goto to its target;
    // returns the goto, or null when the run ended for want of memory.
    OpcodeRecord* split(OpcodeRecord& jump) {
        OpcodeRecord values;
        values.file_name = jump.file_name;
        values.line = jump.line;
        values.opcode = isa::op_goto;
        values.par1_type = PAR_LABEL;
        values.target = jump.target;
        values.op_index = jump.op_index;
        values.size = isa::long_size(isa::op_goto);
        values.address = jump.address + short_size(isa::op_skipBitC);
        values.placed_in_pass = pass_.number;
        OpcodeRecord* jump_on = lists_.insert_opcode_after(&jump, values);
        if (jump_on == nullptr) {
            diag_.report_error("not enough memory");
            diag_.request_stop(Stop::end_run);
            return nullptr;
        }
        const int32_t old_size = jump.size;
        jump.opcode = isa::opposite_bit_skip(jump.opcode);
        jump.par3 = 1;
        jump.par3_type = PAR_NUMBER;
        jump.label = nullptr;
        jump.target = nullptr;
        jump.size = short_size(jump.opcode);
        pass_.shift += jump.size + jump_on->size - old_size;
        pass_.changed = true;
        fix_skip(jump);
        return jump_on;
    }

    // Resolves one statement the walk has placed. Returns the statement the walk goes on
    // after (the statement itself, or the goto of a split), or null when the run has ended.
    OpcodeRecord* resolve(OpcodeRecord& statement) {
        const int opcode = statement.opcode;
        const bool label_jump = isa::is_label_jump(opcode);
        const bool bit_jump = isa::is_bit_jump(opcode);
        if (!label_jump && !bit_jump && !isa::is_subroutine_call(opcode)) return &statement;
        if (statement.target == nullptr) {
            end_run_with_missing_target(statement);
            return nullptr;
        }
        const int32_t target = address_now(statement.target);
        const bool reaches = isa::short_jump_reaches(opcode, statement.address, target);
        if (label_jump && statement.size < isa::long_size(opcode) && !reaches)
            grow(statement, isa::long_size(opcode) - statement.size);
        if (bit_jump && !reaches) return split(statement);
        return &statement;
    }

    // One walk from the first statement to the last; false when the run has ended.
    bool walk() {
        pass_ = Pass{pass_.number + 1};
        const OpcodeRecord* previous = nullptr;
        for (OpcodeRecord* statement = lists_.first_statement(); statement != nullptr;
             statement = lists_.next_statement(previous)) {
            statement->address = previous != nullptr ? previous->address + previous->size : 0;
            statement->placed_in_pass = pass_.number;
            previous = resolve(*statement);
            if (previous == nullptr) return false;
        }
        return true;
    }

    ProgramLists& lists_;
    Diagnostics& diag_;
    Pass pass_;
};

} // namespace

void Assembly::check_jump() {
    JumpResolution(*this).run();
}
