#include "assembler/symtab.h"

#include <new>

namespace {

// The name index: a power of two above the slot count, so that it is never more than
// two-thirds full.
constexpr uint32_t index_size = 16384;
static_assert(index_size * 2 >= symtab_size * 3);

uint32_t index_hash(std::string_view name) {
    uint32_t hash = 2166136261u; // FNV-1a
    for (char c : name)
        hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    return hash;
}

template <typename T>
T* zeroed(std::size_t count) {
    void* memory = std::calloc(count, sizeof(T));
    if (memory == nullptr) throw std::bad_alloc();
    return static_cast<T*>(memory);
}

} // namespace

uint32_t symhash(std::string_view name) {
    uint32_t hash = 0;
    for (char c : name)
        hash =
            (hash * 9) ^ static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    return hash;
}

SymbolTable::SymbolTable(Diagnostics& diag)
    : symtab(zeroed<Symbol>(symtab_size), symtab_size), diag_(diag), slots_(symtab.data()),
      index_(zeroed<int32_t>(index_size)), free_hint_(zeroed<int32_t>(symtab_size)) {}

Symbol* SymbolTable::find_slot(std::string_view name) const {
    for (uint32_t i = index_hash(name) % index_size; index_[i] != 0; i = (i + 1) % index_size) {
        Symbol& symbol = symtab[static_cast<std::size_t>(index_[i] - 1)];
        if (name == symbol.name) return &symbol;
    }
    return nullptr;
}

int SymbolTable::first_free_from(int slot) {
    int free = slot;
    while (free_hint_[free] != 0)
        free = (free + free_hint_[free]) % symtab_size;
    while (slot != free) {
        const int next = (slot + free_hint_[slot]) % symtab_size;
        free_hint_[slot] = (free - slot + symtab_size) % symtab_size;
        slot = next;
    }
    return free;
}

void SymbolTable::take_slot(int slot, const char* name) {
    Symbol& symbol = symtab[static_cast<std::size_t>(slot)];
    symbol.name = name;
    symbol.refs = nullptr;
    free_hint_[slot] = 1;
    uint32_t i = index_hash(name) % index_size;
    while (index_[i] != 0)
        i = (i + 1) % index_size;
    index_[i] = slot + 1;
    ++names_;
}

Symbol* SymbolTable::lookup(const char* name) {
    if (Symbol* symbol = find_slot(name)) return symbol;
    if (names_ >= symtab_size) {
        std::fputs("symbol table overflow\n", diag_.err());
        diag_.request_stop(Stop::abnormal);
        return nullptr;
    }
    const int slot = first_free_from(static_cast<int>(symhash(name) % symtab_size));
    take_slot(slot, name);
    return &symtab[static_cast<std::size_t>(slot)];
}

SymbolRef* SymbolTable::addref(int32_t line, const char* file_name, const char* name, void* target,
                               int32_t kind) {
    Symbol* symbol = lookup(name);
    if (symbol == nullptr) return nullptr;
    for (SymbolRef* ref = symbol->refs; ref != nullptr; ref = ref->next)
        if (ref->line == line && ref->file_name == file_name && ref->kind == kind) return ref;
    SymbolRef* ref = references_.make(SymbolRef{symbol->refs, file_name, line, target, kind});
    if (ref == nullptr) {
        std::fputs("out of space\n", diag_.err());
        diag_.request_stop(Stop::abnormal);
        return nullptr;
    }
    symbol->refs = ref;
    return ref;
}

SymbolRef* SymbolTable::find_symbol_ref(std::string_view name, int32_t kind) const {
    Symbol* symbol = find_slot(name);
    if (symbol == nullptr) return nullptr;
    for (SymbolRef* ref = symbol->refs; ref != nullptr; ref = ref->next)
        if (ref->kind == kind) return ref;
    return nullptr;
}

void* SymbolTable::find_symbol(std::string_view name, int32_t kind) const {
    SymbolRef* ref = find_symbol_ref(name, kind);
    return ref != nullptr ? ref->target : nullptr;
}
