#include "isa/mnemonics.h"

#include "isa/instruction_table.h"

#include <algorithm>
#include <cstdint>

namespace isa {
namespace {

// The keywords by hash: the scanner asks for every name it reads, so the lookup is one
// hash and, as a rule, one comparison. Open addressing with linear probing, built at
// compile time; a free slot ends the search.
constexpr std::size_t index_size = 256; // a power of two, more than three times the keywords
constexpr std::int8_t free_slot = -1;

constexpr std::uint32_t keyword_hash(std::string_view word) {
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (char c : word)
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    return hash;
}

constexpr std::array<std::int8_t, index_size> build_keyword_index() {
    std::array<std::int8_t, index_size> index{};
    index.fill(free_slot);
    for (const Mnemonic& m : instruction_table) {
        std::size_t slot = keyword_hash(m.source) % index_size;
        while (index[slot] != free_slot)
            slot = (slot + 1) % index_size;
        index[slot] = static_cast<std::int8_t>(m.number);
    }
    return index;
}

constexpr std::array<std::int8_t, index_size> keyword_index = build_keyword_index();

constexpr std::size_t longest_keyword =
    std::ranges::max(instruction_table, {}, [](const Mnemonic& m) {
        return m.source.size();
    }).source.size();

} // namespace

std::span<const Mnemonic> mnemonics() {
    return instruction_table;
}

std::optional<Opcode> find_mnemonic(std::string_view word) {
    if (word.size() > longest_keyword) return std::nullopt;
    for (std::size_t slot = keyword_hash(word) % index_size; keyword_index[slot] != free_slot;
         slot = (slot + 1) % index_size) {
        const Mnemonic& m = mnemonic_of(keyword_index[slot]);
        if (m.source == word) return m.number;
    }
    return std::nullopt;
}

std::string_view get_opcode_name(int number) {
    if (!is_opcode(number)) return "opcode not found!!!";
    return mnemonic_of(number).message;
}

} // namespace isa
