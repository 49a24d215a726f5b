// The pages of the opcode help: one per mnemonic, the entry page "frame.htm" with every
// mnemonic by group, and the Qt help project that lists them all.
#pragma once

#include "help/opcode/opcode_notes.h"

#include <string>

namespace help {

inline constexpr std::string_view entry_page = "frame.htm";
// Pages are found at qthelp://kz71.opcode/opcode/<page>.
inline constexpr std::string_view opcode_namespace = "kz71.opcode";
inline constexpr std::string_view opcode_folder = "opcode";
inline constexpr std::string_view stylesheet = "style.css";

// "add.htm": the page of a mnemonic, named after its source keyword.
std::string page_file_name(const isa::Mnemonic& m);

std::string mnemonic_page(const isa::Mnemonic& m, const OpcodeNote& note);
std::string frame_page(std::span<const isa::Mnemonic> mnemonics, std::span<const OpcodeNote> notes);
// The .qhp: table of contents by group, one keyword per source and message name, the files.
std::string help_project(std::span<const isa::Mnemonic> mnemonics);

// The note of a mnemonic; nullptr when the table has none.
const OpcodeNote* note_for(std::span<const OpcodeNote> notes, const isa::Mnemonic& m);

} // namespace help
