#include "assembler/symtab.h"

#include "assembler/diagnostics.h"

#include <cstring>
#include <deque>
#include <new>

std::array<Symbol, symtab_size> symtab;

namespace {

std::deque<SymbolRef> references;

// Walks the probe sequence of `name`: the slot holding it, the free slot that ends the
// search, or null when all slots were visited.
Symbol* probe(const char* name) {
    std::size_t slot = symhash(name) % symtab_size;
    for (int visited = 0; visited < symtab_size; ++visited) {
        Symbol& symbol = symtab[slot];
        if (symbol.name == nullptr || std::strcmp(symbol.name, name) == 0) return &symbol;
        slot = (slot + 1) % symtab_size;
    }
    return nullptr;
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
    Symbol* symbol = probe(name);
    if (symbol == nullptr) {
        std::fputs("symbol table overflow\n", diag_err());
        request_stop(Stop::abnormal);
        return nullptr;
    }
    if (symbol->name == nullptr) {
        symbol->name = name;
        symbol->refs = nullptr;
    }
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
    Symbol* symbol = probe(name);
    if (symbol == nullptr || symbol->name == nullptr) return nullptr;
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
}
