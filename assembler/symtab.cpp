#include "assembler/symtab.h"

#include "assembler/diagnostics.h"

#include <deque>
#include <new>
#include <string_view>
#include <unordered_map>

std::array<Symbol, symtab_size> symtab;

namespace {

std::deque<SymbolRef> references;

// Where each stored name sits, and for every slot the next slot worth looking at for a free
// one. Names land in exactly the slots that linear probing gives them; these two only spare
// the walks along the long probe chains that similar names (loop1, loop2, ...) build under
// this hash: a name is found without walking, and the free slot that ends a new name's walk
// is found by following `free_from` with path compression (no slot is freed during a run).
std::unordered_map<std::string_view, std::size_t> slot_of;
std::array<int, symtab_size> free_from = [] {
    std::array<int, symtab_size> identity{};
    for (int i = 0; i < symtab_size; ++i)
        identity[i] = i;
    return identity;
}();

int first_free_from(int slot) {
    int free = slot;
    while (free_from[free] != free)
        free = free_from[free];
    while (free_from[slot] != free) {
        const int next = free_from[slot];
        free_from[slot] = free;
        slot = next;
    }
    return free;
}

// The slot holding `name`, or null.
Symbol* find_slot(const char* name) {
    auto found = slot_of.find(name);
    return found == slot_of.end() ? nullptr : &symtab[found->second];
}

// The free slot that ends the probe walk of a name not in the table, or null when all slots
// are taken.
Symbol* free_slot(const char* name) {
    if (slot_of.size() >= static_cast<std::size_t>(symtab_size)) return nullptr;
    return &symtab[first_free_from(static_cast<int>(symhash(name) % symtab_size))];
}

void take_slot(Symbol& symbol, const char* name) {
    const int slot = static_cast<int>(&symbol - symtab.data());
    symbol.name = name;
    symbol.refs = nullptr;
    slot_of.emplace(name, slot);
    free_from[slot] = (slot + 1) % symtab_size;
}

} // namespace

uint32_t symhash(const char* name) {
    uint32_t hash = 0;
    for (const char* c = name; *c != '\0'; ++c)
        hash =
            (hash * 9) ^ static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*c)));
    return hash;
}

Symbol* lookup(const char* name) {
    if (Symbol* symbol = find_slot(name)) return symbol;
    Symbol* symbol = free_slot(name);
    if (symbol == nullptr) {
        std::fputs("symbol table overflow\n", diag_err());
        request_stop(Stop::abnormal);
        return nullptr;
    }
    take_slot(*symbol, name);
    return symbol;
}

SymbolRef* addref(int32_t line, const char* file_name, const char* name, void* target,
                  int32_t kind) {
    Symbol* symbol = lookup(name);
    if (symbol == nullptr) return nullptr;
    for (SymbolRef* ref = symbol->refs; ref != nullptr; ref = ref->next)
        if (ref->line == line && ref->file_name == file_name && ref->kind == kind) return ref;
    SymbolRef* ref = nullptr;
    try {
        ref = &references.emplace_back();
    } catch (const std::bad_alloc&) {
        std::fputs("out of space\n", diag_err());
        request_stop(Stop::abnormal);
        return nullptr;
    }
    *ref = SymbolRef{symbol->refs, file_name, line, target, kind};
    symbol->refs = ref;
    return ref;
}

SymbolRef* find_symbol_ref(const char* name, int32_t kind) {
    Symbol* symbol = find_slot(name);
    if (symbol == nullptr) return nullptr;
    for (SymbolRef* ref = symbol->refs; ref != nullptr; ref = ref->next)
        if (ref->kind == kind) return ref;
    return nullptr;
}

void* find_symbol(const char* name, int32_t kind) {
    SymbolRef* ref = find_symbol_ref(name, kind);
    return ref != nullptr ? ref->target : nullptr;
}

void reset_symtab() {
    symtab.fill(Symbol{});
    references.clear();
    slot_of.clear();
    for (int i = 0; i < symtab_size; ++i)
        free_from[i] = i;
}
