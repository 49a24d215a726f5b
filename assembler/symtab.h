// The symbol table: 9997 slots mapping a name to the constant and the jump label that
// define it, with open addressing (linear probing, wrapping from the last slot to slot 0).
#pragma once

#include "assembler/diagnostics.h"
#include "assembler/program_lists.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>

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

uint32_t symhash(std::string_view name);

class SymbolTable {
public:
    // Overflow and allocation failures are reported through `diag`.
    explicit SymbolTable(Diagnostics& diag);
    SymbolTable(const SymbolTable&) = delete;
    SymbolTable& operator=(const SymbolTable&) = delete;

    // The slots, all free at first.
    std::span<Symbol, symtab_size> symtab;

    // The slot of `name` (a kept text), taking a free slot for it when absent. When every
    // slot holds another name, "symbol table overflow" is printed on the error output, the
    // run is stopped abnormally (Stop::abnormal) and null is returned.
    Symbol* lookup(const char* name);

    // Records a definition of `name` (kept text) and returns the reference; an identical
    // reference (same line, file name pointer and kind) is returned instead of a new one.
    // Null after a stop (table overflow, or "out of space" when memory runs out).
    SymbolRef* addref(int32_t line, const char* file_name, const char* name, void* target,
                      int32_t kind);

    // The first reference of `kind` for `name`, or null. Never takes a slot.
    SymbolRef* find_symbol_ref(std::string_view name, int32_t kind) const;

    // The target of that reference, or null.
    void* find_symbol(std::string_view name, int32_t kind) const;

    ConstRecord* find_const(std::string_view name) const {
        return static_cast<ConstRecord*>(find_symbol(name, REF_CONST));
    }
    JumpLabelRecord* find_jumplabel(std::string_view name) const {
        return static_cast<JumpLabelRecord*>(find_symbol(name, REF_JUMPLABEL));
    }

private:
    struct Free {
        void operator()(void* memory) const { std::free(memory); }
    };
    // Zero-filled tables from calloc: memory the system hands out already cleared, so a new
    // table costs no clearing and its pages are touched only where names land.
    template <typename T>
    using ZeroedArray = std::unique_ptr<T[], Free>;

    Symbol* find_slot(std::string_view name) const;
    int first_free_from(int slot);
    void take_slot(int slot, const char* name);

    Diagnostics& diag_;
    ZeroedArray<Symbol> slots_;
    // Where each stored name sits, and for every slot a hint at the next slot worth looking
    // at for a free one. Names land in exactly the slots that linear probing gives them;
    // these two only spare the walks along the long probe chains that similar names (loop1,
    // loop2, ...) build under this hash: a name is found through `index_` without walking,
    // and the free slot that ends a new name's walk by following the hints with path
    // compression (no slot is ever freed).
    ZeroedArray<int32_t> index_;     // slot + 1 of a stored name by name hash, 0 when empty
    ZeroedArray<int32_t> free_hint_; // distance to the next slot worth looking at, 0: free
    int names_ = 0;
    Arena<SymbolRef> references_;
};
