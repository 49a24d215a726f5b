#include "isa/mnemonics.h"

#include "isa/instruction_table.h"

#include <algorithm>
#include <cstdint>

namespace isa {
namespace {

// The keywords by hash: the scanner asks for every name it reads, so the lookup is a hash of
// the word's length and three of its characters and, as a rule, one comparison. Open
// addressing with linear probing, built at compile time; a free slot ends the search.
constexpr std::size_t index_size = 256; // a power of two, more than three times the keywords

struct Entry {
    std::int8_t opcode = -1; // -1: a free slot
    std::uint8_t length = 0;
    char first = 0;
};

constexpr std::size_t keyword_hash(std::string_view word) {
    const auto c = [&word](std::size_t i) { return static_cast<std::size_t>(word[i]) & 0xFF; };
    const std::size_t n = word.size();
    return (n * 37 + c(0) * 11 + c(n / 2) * 5 + c(n - 1)) % index_size;
}

constexpr std::array<Entry, index_size> build_keyword_index() {
    std::array<Entry, index_size> index{};
    for (const Mnemonic& m : instruction_table) {
        std::size_t slot = keyword_hash(m.source);
        while (index[slot].opcode >= 0)
            slot = (slot + 1) % index_size;
        index[slot] = {static_cast<std::int8_t>(m.number),
                       static_cast<std::uint8_t>(m.source.size()), m.source[0]};
    }
    return index;
}

constexpr std::array<Entry, index_size> keyword_index = build_keyword_index();

constexpr std::size_t longest_keyword =
    std::ranges::max(instruction_table, {}, [](const Mnemonic& m) {
        return m.source.size();
    }).source.size();

} // namespace

std::span<const Mnemonic> mnemonics() {
    return instruction_table;
}

int mnemonic_number(std::string_view word) {
    if (word.empty() || word.size() > longest_keyword) return -1;
    for (std::size_t slot = keyword_hash(word); keyword_index[slot].opcode >= 0;
         slot = (slot + 1) % index_size) {
        const Entry& entry = keyword_index[slot];
        if (entry.length == word.size() && entry.first == word[0] &&
            mnemonic_of(entry.opcode).source == word)
            return entry.opcode;
    }
    return -1;
}

std::optional<Opcode> find_mnemonic(std::string_view word) {
    const int number = mnemonic_number(word);
    return number >= 0 ? std::optional(static_cast<Opcode>(number)) : std::nullopt;
}

std::string_view get_opcode_name(int number) {
    if (!is_opcode(number)) return "opcode not found!!!";
    return mnemonic_of(number).message;
}

} // namespace isa
