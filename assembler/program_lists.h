// The assembler's in-memory program: statements, jump labels and constants, each in a
// circular doubly linked list in source order.
#pragma once

#include "assembler/arena.h"
#include "assembler/diagnostics.h"

#include <cstdint>

// Kind of an operand slot.
enum OperandKind : int32_t {
    PAR_LABEL = 1,  // a jump label: the name in `label`, later the target in `target`
    PAR_NONE = 2,   // empty slot, value 0
    PAR_ACCU = 3,   // accumulator number: x 0, y 1, z 2, r 3
    PAR_NUMBER = 4, // 32-bit integer
};

struct JumpLabelRecord;

// True when the list whose head is `head` holds no record.
template <typename Record>
bool list_is_empty(const Record& head) {
    return head.next == nullptr;
}

// One instruction statement.
struct OpcodeRecord {
    OpcodeRecord* next = nullptr;
    OpcodeRecord* prev = nullptr;
    const char* file_name = nullptr; // shared with the scanner's include frame
    int32_t line = 0;                // source line of the mnemonic
    // Jump resolution's mark: the number of the pass that last gave this statement its
    // address (0 before the first pass). It sits here to fill the room beside `line`.
    uint32_t placed_in_pass = 0;
    JumpLabelRecord* jumplabel = nullptr;
    int32_t opcode = 0; // mnemonic number 0..80
    int32_t par1 = 0;
    int32_t par1_type = PAR_NONE;
    int32_t par2 = 0;
    int32_t par2_type = PAR_NONE;
    int32_t par3 = 0;
    int32_t par3_type = PAR_NONE;
    int32_t op_index = 0; // running number of the statement in the run, from 0
    int32_t address = 0;  // code address in bytes, set by the back end
    int32_t size = 0;     // encoded size in bytes, set by the back end
    // A statement has at most one label operand (the slot of kind PAR_LABEL, whose value
    // stays 0): its name as written, and the statement it resolves to once the back end
    // has looked it up (null while unresolved, or when the label labels no statement).
    const char* label = nullptr;
    OpcodeRecord* target = nullptr;
};

// One jump label.
struct JumpLabelRecord {
    JumpLabelRecord* next = nullptr;
    JumpLabelRecord* prev = nullptr;
    const char* file_name = nullptr;
    int32_t line = 0; // source line of the label's name
    const char* name = nullptr;
    int32_t address = 0;
    OpcodeRecord* opcode = nullptr; // the statement the label stands in front of
};

// One constant declaration.
struct ConstRecord {
    ConstRecord* next = nullptr;
    ConstRecord* prev = nullptr;
    const char* file_name = nullptr;
    int32_t line = 0; // source line of the constant's name
    const char* name = nullptr;
    int32_t value = 0;
};

// The three lists of one assembly. Each head is a record of the list's type that is itself
// the first record of its list; an empty list is one whose head has a null `next`. The heads
// point at themselves, so the lists never move (no copy, no move).
class ProgramLists {
public:
    explicit ProgramLists(Diagnostics& diag) : diag_(diag) {}
    ProgramLists(const ProgramLists&) = delete;
    ProgramLists& operator=(const ProgramLists&) = delete;

    OpcodeRecord start_opcode;
    JumpLabelRecord start_jumplabel;
    ConstRecord start_const;

    // Append a record to the end of its list and return it. The first record of a list is
    // the head itself. On allocation failure "ERROR: memory could not be allocated" is
    // printed and null returned, the list unchanged. The links of `values` are ignored.
    OpcodeRecord* add_opcode(const OpcodeRecord& values);
    ConstRecord* add_const(const char* file_name, int32_t line, const char* name, int32_t value);
    JumpLabelRecord* add_jumplabel(const char* file_name, int32_t line, const char* name);

    // Insert a new statement with `values` directly after `at` (a member of the statement
    // list) and return it; null on allocation failure, which the caller reports.
    OpcodeRecord* insert_opcode_after(OpcodeRecord* at, const OpcodeRecord& values);

    // Take a statement other than the head out of the statement list. Its memory stays
    // valid as long as the lists, so references to it do not dangle.
    static void unlink_opcode(OpcodeRecord* record);

    // Take any statement out of the list and return the statement that followed it (null
    // when it was the last). The head is taken out by re-heading: the second statement's
    // contents move into the head, the head's former contents into the second record, which
    // leaves the list; the jump labels of both follow their statements. A sole statement
    // leaves an empty list. Label operands already resolved to the two records are not
    // redirected.
    OpcodeRecord* remove_opcode(OpcodeRecord* record);

    // Walking the statement list: the first statement, the one after `record` and the one
    // in front of it, or null.
    OpcodeRecord* first_statement() {
        return list_is_empty(start_opcode) ? nullptr : &start_opcode;
    }
    const OpcodeRecord* first_statement() const {
        return list_is_empty(start_opcode) ? nullptr : &start_opcode;
    }
    OpcodeRecord* next_statement(const OpcodeRecord* record) const {
        return record->next == &start_opcode ? nullptr : record->next;
    }
    OpcodeRecord* previous_statement(const OpcodeRecord* record) const {
        return record == &start_opcode ? nullptr : record->prev;
    }
    // The last statement, or null.
    OpcodeRecord* last_statement() const {
        return list_is_empty(start_opcode) ? nullptr : start_opcode.prev;
    }

    // The jump target that stands for the address just after the last statement (a
    // converted skip whose count reached past the end of the program). It is never in the
    // list.
    OpcodeRecord* program_end() { return &end_of_program_; }

    // Code address of a jump target: its address, or for program_end() the address just
    // after the last statement.
    int32_t target_address(const OpcodeRecord* target) const {
        if (target != &end_of_program_) return target->address;
        const OpcodeRecord* last = last_statement();
        return last != nullptr ? last->address + last->size : 0;
    }

private:
    Diagnostics& diag_;
    OpcodeRecord end_of_program_;
    Arena<OpcodeRecord> opcode_records_; // records other than the heads
    Arena<JumpLabelRecord> jumplabel_records_;
    Arena<ConstRecord> const_records_;
};
