// The check that stops the help build when the notes table and the instruction set disagree.
#include "help/opcode/opcode_notes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

std::vector<help::OpcodeNote> shipped_notes() {
    const auto notes = help::opcode_notes();
    return {notes.begin(), notes.end()};
}

help::OpcodeNote* entry(std::vector<help::OpcodeNote>& notes, std::string_view name) {
    for (help::OpcodeNote& note : notes)
        if (note.mnemonic == name) return &note;
    return nullptr;
}

} // namespace

TEST(NotesCheck, ShippedTableHasExactlyOneEntryPerMnemonic) {
    EXPECT_THAT(help::check_notes(help::opcode_notes(), isa::mnemonics()), IsEmpty());
    EXPECT_EQ(help::opcode_notes().size(), isa::mnemonics().size());
}

TEST(NotesCheck, NamesMissingUnknownAndDoubleEntries) {
    std::vector<help::OpcodeNote> notes = shipped_notes();
    std::erase_if(notes, [](const help::OpcodeNote& n) { return n.mnemonic == "rotL"; });
    notes.push_back({"rotl", 0, "", "Rotates.", "", "        rotl x"});
    notes.push_back(*entry(notes, "nop"));
    EXPECT_THAT(help::check_notes(notes, isa::mnemonics()),
                ElementsAre("help entry 'rotl' names no mnemonic",
                            "two help entries for mnemonic 'nop'",
                            "no help entry for mnemonic 'rotL'"));
}

TEST(NotesCheck, WantsAnExampleThatUsesItsMnemonicAndOnlyWhereTheAssemblerTakesIt) {
    std::vector<help::OpcodeNote> notes = shipped_notes();
    entry(notes, "add")->example = "";
    entry(notes, "sub")->example = "        subtotal: nop"; // the word is not the mnemonic
    entry(notes, "swap48")->example = "        swap48 x";
    entry(notes, "nop")->summary = "";
    EXPECT_THAT(help::check_notes(notes, isa::mnemonics()),
                ElementsAre("help entry 'nop' has no description",
                            "help entry 'add' has no example",
                            "the example of help entry 'sub' does not use sub",
                            "help entry 'swap48' has an example, but the assembler rejects the "
                            "mnemonic"));
}
