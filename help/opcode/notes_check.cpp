#include "help/opcode/opcode_notes.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace help {
namespace {

bool is_word_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// Whether `word` stands in `text` as a whole word.
bool uses_word(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const bool starts = at == 0 || !is_word_char(text[at - 1]);
        const std::size_t end = at + word.size();
        const bool ends = end == text.size() || !is_word_char(text[end]);
        if (starts && ends) return true;
    }
    return false;
}

std::string quoted(std::string_view name) {
    return "'" + std::string(name) + "'";
}

void check_example(const OpcodeNote& note, const isa::Mnemonic& m,
                   std::vector<std::string>& problems) {
    const bool rejected = m.rules.check == isa::Check::not_found;
    if (rejected && !note.example.empty())
        problems.push_back("help entry " + quoted(note.mnemonic) +
                           " has an example, but the assembler rejects the mnemonic");
    if (!rejected && note.example.empty())
        problems.push_back("help entry " + quoted(note.mnemonic) + " has no example");
    if (!rejected && !note.example.empty() && !uses_word(note.example, m.source))
        problems.push_back("the example of help entry " + quoted(note.mnemonic) + " does not use " +
                           std::string(m.source));
}

} // namespace

std::vector<std::string> check_notes(std::span<const OpcodeNote> notes,
                                     std::span<const isa::Mnemonic> mnemonics) {
    std::vector<std::string> problems;
    std::map<std::string_view, const OpcodeNote*> by_name;
    for (const OpcodeNote& note : notes) {
        const bool known = std::ranges::any_of(
            mnemonics, [&](const isa::Mnemonic& m) { return m.source == note.mnemonic; });
        if (!known)
            problems.push_back("help entry " + quoted(note.mnemonic) + " names no mnemonic");
        else if (!by_name.emplace(note.mnemonic, &note).second)
            problems.push_back("two help entries for mnemonic " + quoted(note.mnemonic));
        if (note.summary.empty())
            problems.push_back("help entry " + quoted(note.mnemonic) + " has no description");
    }
    for (const isa::Mnemonic& m : mnemonics) {
        const auto found = by_name.find(m.source);
        if (found == by_name.end())
            problems.push_back("no help entry for mnemonic " + quoted(m.source));
        else
            check_example(*found->second, m, problems);
    }
    return problems;
}

} // namespace help
