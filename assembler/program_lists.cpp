#include "assembler/program_lists.h"

#include <utility>

namespace {

// Puts `record` behind the last record of the list headed by `head`.
template <typename Record>
void link_last(Record& head, Record* record) {
    Record* last = head.prev;
    record->next = &head;
    record->prev = last;
    last->next = record;
    head.prev = record;
}

// The common append: the head takes the first record's values, later records come from
// the arena.
template <typename Record>
Record* append(Record& head, Arena<Record>& arena, const Record& values, Diagnostics& diag) {
    if (list_is_empty(head)) {
        head = values;
        head.next = &head;
        head.prev = &head;
        return &head;
    }
    Record* record = arena.make(values);
    if (record == nullptr) {
        std::fputs("ERROR: memory could not be allocated\n", diag.out());
        return nullptr;
    }
    link_last(head, record);
    return record;
}

// Exchanges everything but the links of two statements, and points their labels at them.
void swap_contents(OpcodeRecord& a, OpcodeRecord& b) {
    std::swap(a, b);
    std::swap(a.next, b.next);
    std::swap(a.prev, b.prev);
    if (a.jumplabel != nullptr) a.jumplabel->opcode = &a;
    if (b.jumplabel != nullptr) b.jumplabel->opcode = &b;
}

} // namespace

OpcodeRecord* ProgramLists::add_opcode(const OpcodeRecord& values) {
    return append(start_opcode, opcode_records_, values, diag_);
}

ConstRecord* ProgramLists::add_const(const char* file_name, int32_t line, const char* name,
                                     int32_t value) {
    ConstRecord values;
    values.file_name = file_name;
    values.line = line;
    values.name = name;
    values.value = value;
    return append(start_const, const_records_, values, diag_);
}

JumpLabelRecord* ProgramLists::add_jumplabel(const char* file_name, int32_t line,
                                             const char* name) {
    JumpLabelRecord values;
    values.file_name = file_name;
    values.line = line;
    values.name = name;
    return append(start_jumplabel, jumplabel_records_, values, diag_);
}

OpcodeRecord* ProgramLists::insert_opcode_after(OpcodeRecord* at, const OpcodeRecord& values) {
    OpcodeRecord* record = opcode_records_.make(values);
    if (record == nullptr) return nullptr;
    record->prev = at;
    record->next = at->next;
    at->next->prev = record;
    at->next = record;
    return record;
}

void ProgramLists::unlink_opcode(OpcodeRecord* record) {
    record->prev->next = record->next;
    record->next->prev = record->prev;
    record->next = record->prev = nullptr;
}

OpcodeRecord* ProgramLists::remove_opcode(OpcodeRecord* record) {
    if (record != &start_opcode) {
        OpcodeRecord* following = next_statement(record);
        unlink_opcode(record);
        return following;
    }
    if (start_opcode.next == &start_opcode) {
        start_opcode.next = start_opcode.prev = nullptr;
        return nullptr;
    }
    OpcodeRecord* second = start_opcode.next;
    swap_contents(start_opcode, *second);
    unlink_opcode(second);
    return &start_opcode;
}
