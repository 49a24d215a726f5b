// The generated opcode help: a page for every mnemonic of the instruction set, and on each
// page the sizes and bytes that the encoder and the assembler really produce.
#include "help/opcode/opcode_notes.h"
#include "isa/encode.h"
#include "opcode_page.h"
#include "program_run.h"
#include "scratch_directory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <regex>

namespace fs = std::filesystem;

namespace {

const fs::path pages_dir = KZ71_OPCODE_PAGES;

std::string page_of(const isa::Mnemonic& m) {
    return file_text(pages_dir / (std::string(m.source) + ".htm"));
}

bool supported(const isa::Mnemonic& m) {
    return m.rules.check != isa::Check::not_found;
}

std::string joined(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& piece : texts)
        text += (text.empty() ? "" : "; ") + piece;
    return text;
}

struct Sample {
    std::string mnemonic;
    PageForm form;
    PageSample sample;
};

// Every sample statement of every page, with the form it belongs to.
std::vector<Sample> all_samples() {
    std::vector<Sample> samples;
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        const OpcodePage page = read_opcode_page(page_of(m));
        if (page.forms.size() != page.samples.size()) {
            ADD_FAILURE() << m.source << ": " << page.forms.size() << " forms but "
                          << page.samples.size() << " samples";
            continue;
        }
        for (std::size_t i = 0; i < page.forms.size(); ++i)
            samples.push_back({std::string(m.source), page.forms[i], page.samples[i]});
    }
    return samples;
}

// The bytes of a .hex file, in address order.
std::vector<std::uint8_t> hex_image(const std::string& hex) {
    std::vector<std::uint8_t> image;
    static const std::regex line(R"(([0-9A-F]{4}): ([0-9A-F]{2}) ([0-9A-F]{2})\t)");
    for (std::sregex_iterator it(hex.begin(), hex.end(), line), end; it != end; ++it) {
        image.push_back(static_cast<std::uint8_t>(std::stoul((*it)[2], nullptr, 16)));
        image.push_back(static_cast<std::uint8_t>(std::stoul((*it)[3], nullptr, 16)));
    }
    return image;
}

// Source line -> code address, from a .dbg file.
std::map<int, int> line_addresses(const std::string& dbg) {
    std::map<int, int> addresses;
    static const std::regex line(R"(([0-9A-F]{4}): (\d+) )");
    for (std::sregex_iterator it(dbg.begin(), dbg.end(), line), end; it != end; ++it)
        addresses[std::stoi((*it)[2])] = static_cast<int>(std::stoul((*it)[1], nullptr, 16));
    return addresses;
}

struct Assembled {
    ProgramRun run;
    std::string hex, epr, dbg;
};

Assembled assemble(const std::string& source) {
    const ScratchDirectory scratch;
    scratch.write("prog.asm", source);
    Assembled result{run_program(KZ71_TARN, scratch.path(), {"prog.asm"}), "", "", ""};
    result.hex = scratch.read("prog.hex");
    result.epr = scratch.read("prog.epr");
    result.dbg = scratch.read("prog.dbg");
    return result;
}

bool succeeded(const Assembled& assembled) {
    return assembled.run.exit_code == 0 &&
           assembled.run.out == "INFO: prog.asm: Processing was successful\n";
}

// A program that puts a label sample's statement at address 0 and its label where the page
// says the label is.
std::string jump_program(const Sample& s, int target) {
    const int size = static_cast<int>(s.sample.bytes.size());
    std::string source = "        " + s.sample.statement + "\n";
    for (int address = size; address < target; ++address)
        source += "        nop\n";
    return source + "L:      nop\n";
}

} // namespace

TEST(OpcodeHelp, HasAPageForEveryMnemonicListedInTheIndexAndTheProject) {
    const std::string frame = file_text(pages_dir / "frame.htm");
    const std::string project = file_text(pages_dir / "opcode.qhp");
    ASSERT_FALSE(frame.empty());
    ASSERT_FALSE(project.empty());
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        const std::string name(m.source);
        const OpcodePage page = read_opcode_page(page_of(m));
        EXPECT_EQ(page.title, name);
        const std::string link = "<a href=\"" + name + ".htm\">";
        // Once in its group's table, once in the list of all mnemonics.
        std::size_t links = 0;
        for (std::size_t at = frame.find(link); at != std::string::npos;
             at = frame.find(link, at + 1))
            ++links;
        EXPECT_EQ(links, 2u) << name;
        EXPECT_NE(project.find("<file>" + name + ".htm</file>"), std::string::npos) << name;
        EXPECT_NE(project.find("<keyword name=\"" + name + "\""), std::string::npos) << name;
        EXPECT_EQ(page.forms.empty(), !supported(m)) << name;
    }
    EXPECT_NE(project.find("<file>frame.htm</file>"), std::string::npos);
}

// Size, bytes and .hex comments of every sample are what isa::encode gives for the statement
// the page shows, and each byte formula of the form evaluates to that byte.
TEST(OpcodeHelp, EveryFormStatesTheSizeAndBytesOfTheEncoder) {
    const std::vector<Sample> samples = all_samples();
    ASSERT_GE(samples.size(),
              static_cast<std::size_t>(std::ranges::count_if(isa::mnemonics(), supported)));
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.mnemonic + ": " + s.sample.statement);
        EXPECT_EQ(s.form.bytes.size(), static_cast<std::size_t>(s.form.size));
        const auto instruction = sample_instruction(s.sample, s.form.size);
        ASSERT_TRUE(instruction);
        const isa::Encoded encoded = isa::encode(*instruction);
        ASSERT_EQ(encoded.status, isa::EncodeStatus::ok);
        ASSERT_EQ(encoded.bytes.size, s.form.size);
        const std::vector<std::uint8_t> bytes(encoded.bytes.data.begin(),
                                              encoded.bytes.data.begin() + encoded.bytes.size);
        EXPECT_EQ(s.sample.bytes, bytes);
        if (s.form.size > 0) {
            EXPECT_EQ(s.sample.comments, joined(encoded.comments));
        }
        const auto values = operand_values(s.form, *instruction);
        for (std::size_t i = 0; i < s.form.bytes.size() && i < bytes.size(); ++i) {
            const auto value = evaluate_formula(s.form.bytes[i], values, static_cast<int>(i));
            ASSERT_TRUE(value) << "cannot evaluate " << s.form.bytes[i];
            if (s.form.bytes[i] != "d") {
                EXPECT_TRUE(*value >= 0 && *value <= 255) << *value;
            }
            EXPECT_EQ(*value & 0xFF, bytes[i]) << s.form.bytes[i] << " of byte " << i;
        }
    }
}

// What the pages show is also what tarn writes into the .hex (and .epr) file.
TEST(OpcodeHelp, SamplesAreWhatTheAssemblerWrites) {
    std::string source;
    std::vector<std::pair<int, Sample>> by_line;
    std::vector<Sample> jumps;
    for (const Sample& s : all_samples()) {
        if (!s.sample.where.empty()) {
            jumps.push_back(s);
            continue;
        }
        source += "        " + s.sample.statement + "\n";
        by_line.emplace_back(static_cast<int>(by_line.size()) + 1, s);
    }
    const Assembled all = assemble(source);
    ASSERT_TRUE(succeeded(all)) << all.run.out << all.run.err;
    const std::vector<std::uint8_t> image = hex_image(all.hex);
    const std::map<int, int> addresses = line_addresses(all.dbg);
    for (const auto& [line, s] : by_line) {
        SCOPED_TRACE(s.mnemonic + ": " + s.sample.statement);
        if (s.form.size == 0) {
            EXPECT_NE(all.epr.find("\r\n" + s.sample.comments.substr(0, 6) + " \r\n"),
                      std::string::npos)
                << s.sample.comments;
            continue;
        }
        ASSERT_TRUE(addresses.contains(line));
        const auto at = image.begin() + addresses.at(line);
        ASSERT_LE(addresses.at(line) + s.form.size, static_cast<int>(image.size()));
        EXPECT_EQ(std::vector<std::uint8_t>(at, at + s.form.size), s.sample.bytes);
    }
    ASSERT_FALSE(jumps.empty());
    for (const Sample& s : jumps) {
        SCOPED_TRACE(s.mnemonic + ": " + s.sample.statement + " (" + s.sample.where + ")");
        const auto instruction = sample_instruction(s.sample, s.form.size);
        ASSERT_TRUE(instruction);
        const auto target =
            std::ranges::find(instruction->operands, isa::OperandKind::label, &isa::Operand::kind);
        ASSERT_NE(target, instruction->operands.end());
        const Assembled jump = assemble(jump_program(s, target->value));
        ASSERT_TRUE(succeeded(jump)) << jump.run.out;
        const std::vector<std::uint8_t> image = hex_image(jump.hex);
        ASSERT_GE(image.size(), s.sample.bytes.size());
        EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + s.form.size),
                  s.sample.bytes);
    }
}

TEST(OpcodeHelp, EveryExampleAssemblesCleanly) {
    for (const help::OpcodeNote& note : help::opcode_notes()) {
        if (note.example.empty()) continue;
        const Assembled example = assemble(std::string(note.example) + "\n");
        EXPECT_TRUE(succeeded(example)) << note.mnemonic << ":\n"
                                        << note.example << "\n"
                                        << example.run.out << example.run.err;
    }
}

TEST(OpcodeHelp, PagesOfRejectedMnemonicsSayTheAssemblersMessage) {
    for (const isa::Mnemonic& m : isa::mnemonics()) {
        if (supported(m)) continue;
        EXPECT_NE(page_of(m).find("opcode not found!!!"), std::string::npos) << m.source;
    }
}
