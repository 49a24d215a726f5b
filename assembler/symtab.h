// The symbol table: 9997 slots mapping a name to the constant and the jump label that
// define it, with open addressing (linear probing, wrapping from the last slot to slot 0).
#pragma once

#include "assembler/program_lists.h"

#include <array>
#include <cstdint>

inline constexpr int symtab_size = 9997;

enum RefKind : int32_t {
    REF_CONST = 0,
    REF_JUMPLABEL = 1,
};

// One definition of a name.
struct SymbolRef {
    SymbolRef* next = nullptr; // next reference of the same symbol
    const char* file_name = nullptr;
    int32_t line = 0;
    void* target = nullptr; // the ConstRecord (REF_CONST) or JumpLabelRecord (REF_JUMPLABEL)
    int32_t kind = REF_CONST;
};

// One slot; a free slot has a null name.
struct Symbol {
    SymbolRef* refs = nullptr;
    const char* name = nullptr; // the caller's pointer, not a copy
};

extern std::array<Symbol, symtab_size> symtab;

uint32_t symhash(const char* name);

// The slot of `name`, taking a free slot for it when absent. When every slot holds another
// name, "symbol table overflow" is printed on the error output, the run is stopped
// abnormally (Stop::abnormal) and null is returned.
Symbol* lookup(const char* name);

// Records a definition of `name` (kept text) and returns the reference; an identical
// reference (same line, file name pointer and kind) is returned instead of a new one.
// Null after a stop (table overflow, or "out of space" when memory runs out).
SymbolRef* addref(int32_t line, const char* file_name, const char* name, void* target,
                  int32_t kind);

// The first reference of `kind` for `name`, or null. Never takes a slot.
SymbolRef* find_symbol_ref(const char* name, int32_t kind);

// The target of that reference, or null.
void* find_symbol(const char* name, int32_t kind);

inline ConstRecord* find_const(const char* name) {
    return static_cast<ConstRecord*>(find_symbol(name, REF_CONST));
}
inline JumpLabelRecord* find_jumplabel(const char* name) {
    return static_cast<JumpLabelRecord*>(find_symbol(name, REF_JUMPLABEL));
}

// Frees every slot and reference (start of a run).
void reset_symtab();
