// Writes the opcode help's pages and its Qt help project into a folder:
//   kz71_opcode_help_gen OUTPUT_FOLDER STYLESHEET
// Fails (exit code 1, every problem on the error output) when the notes table and the
// instruction set disagree or a file cannot be written, so the build stops.
#include "help/opcode/opcode_pages.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr const char* program = "kz71_opcode_help_gen";

bool write_file(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (out) return true;
    std::fprintf(stderr, "%s: cannot write '%s'\n", program, path.c_str());
    return false;
}

bool write_pages(const fs::path& folder) {
    const auto mnemonics = isa::mnemonics();
    const auto notes = help::opcode_notes();
    bool ok = write_file(folder / help::entry_page, help::frame_page(mnemonics, notes));
    for (const isa::Mnemonic& m : mnemonics)
        ok = write_file(folder / help::page_file_name(m),
                        help::mnemonic_page(m, *help::note_for(notes, m))) &&
             ok;
    return write_file(folder / "opcode.qhp", help::help_project(mnemonics)) && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER STYLESHEET\n", program);
        return 2;
    }
    const auto problems = help::check_notes(help::opcode_notes(), isa::mnemonics());
    for (const std::string& problem : problems)
        std::fprintf(stderr, "%s: %s\n", program, problem.c_str());
    if (!problems.empty()) return 1;

    const fs::path folder = argv[1];
    std::error_code error;
    fs::create_directories(folder, error);
    fs::copy_file(argv[2], folder / help::stylesheet, fs::copy_options::overwrite_existing, error);
    if (error) {
        std::fprintf(stderr, "%s: cannot copy '%s' into '%s': %s\n", program, argv[2],
                     folder.c_str(), error.message().c_str());
        return 1;
    }
    return write_pages(folder) ? 0 : 1;
}
