#include "assembler/program_lists.h"

#include "assembler/diagnostics.h"

#include <deque>
#include <new>
#include <utility>

OpcodeRecord start_opcode;
JumpLabelRecord start_jumplabel;
ConstRecord start_const;

namespace {

// Records other than the heads. Deques keep their elements in place, so pointers into them
// stay valid until reset.
std::deque<OpcodeRecord> opcode_records;
std::deque<JumpLabelRecord> jumplabel_records;
std::deque<ConstRecord> const_records;

void report_no_memory() {
    std::fputs("ERROR: memory could not be allocated\n", diag_out());
}

// Allocates a record in `store`; null when memory runs out.
template <typename Record>
Record* allocate(std::deque<Record>& store) {
    try {
        return &store.emplace_back();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Puts `record` behind the last record of the list headed by `head`.
template <typename Record>
void link_last(Record& head, Record* record) {
    Record* last = head.prev;
    record->next = &head;
    record->prev = last;
    last->next = record;
    head.prev = record;
}

// The common append: the head takes the first record's values, later records are allocated.
template <typename Record, typename Fill>
Record* append(Record& head, std::deque<Record>& store, Fill fill) {
    if (head.next == nullptr) {
        head = Record{};
        fill(head);
        head.next = &head;
        head.prev = &head;
        return &head;
    }
    Record* record = allocate(store);
    if (record == nullptr) {
        report_no_memory();
        return nullptr;
    }
    fill(*record);
    link_last(head, record);
    return record;
}

} // namespace

OpcodeRecord* add_opcode(const OpcodeRecord& values) {
    return append(start_opcode, opcode_records, [&](OpcodeRecord& r) { r = values; });
}

ConstRecord* add_const(const char* file_name, int32_t line, const char* name, int32_t value) {
    return append(start_const, const_records, [&](ConstRecord& r) {
        r.file_name = file_name;
        r.line = line;
        r.name = name;
        r.value = value;
    });
}

JumpLabelRecord* add_jumplabel(const char* file_name, int32_t line, const char* name) {
    return append(start_jumplabel, jumplabel_records, [&](JumpLabelRecord& r) {
        r.file_name = file_name;
        r.line = line;
        r.name = name;
    });
}

OpcodeRecord* insert_opcode_after(OpcodeRecord* at, const OpcodeRecord& values) {
    OpcodeRecord* record = allocate(opcode_records);
    if (record == nullptr) return nullptr;
    *record = values;
    record->prev = at;
    record->next = at->next;
    at->next->prev = record;
    at->next = record;
    return record;
}

void unlink_opcode(OpcodeRecord* record) {
    record->prev->next = record->next;
    record->next->prev = record->prev;
    record->next = record->prev = nullptr;
}

namespace {

// Exchanges everything but the links of two statements, and points their labels at them.
void swap_contents(OpcodeRecord& a, OpcodeRecord& b) {
    std::swap(a, b);
    std::swap(a.next, b.next);
    std::swap(a.prev, b.prev);
    if (a.jumplabel != nullptr) a.jumplabel->opcode = &a;
    if (b.jumplabel != nullptr) b.jumplabel->opcode = &b;
}

} // namespace

OpcodeRecord* remove_opcode(OpcodeRecord* record) {
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

void reset_program_lists() {
    start_opcode = OpcodeRecord{};
    start_jumplabel = JumpLabelRecord{};
    start_const = ConstRecord{};
    opcode_records.clear();
    jumplabel_records.clear();
    const_records.clear();
}
