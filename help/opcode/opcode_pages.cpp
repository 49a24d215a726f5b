#include "help/opcode/opcode_pages.h"

#include "help/opcode/instruction_forms.h"
#include "isa/encode.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace help {
namespace {

using isa::Group;

struct GroupInfo {
    Group group;
    std::string_view anchor;
    std::string_view title;
};

// The order in which the entry page lists the groups.
constexpr std::array<GroupInfo, 20> groups{{
    {Group::two_operand_arithmetic, "arithmetic", "Arithmetic with two operands"},
    {Group::two_operand_logic, "logic", "Logic with two operands"},
    {Group::single_accumulator, "single", "One accumulator"},
    {Group::multiply_divide, "multiply", "Multiply and divide"},
    {Group::shift_rotate, "shift", "Shift and rotate"},
    {Group::bit, "bit", "Bit operations"},
    {Group::flags, "flags", "Carry flag"},
    {Group::jump, "jump", "Jump"},
    {Group::conditional_jump, "conditional-jump", "Conditional jumps"},
    {Group::bit_jump, "bit-jump", "Bit jumps"},
    {Group::skip, "skip", "Skips"},
    {Group::bit_skip, "bit-skip", "Bit skips"},
    {Group::subroutine, "subroutine", "Subroutines"},
    {Group::ram_address, "ram", "RAM address"},
    {Group::eeprom, "eeprom", "User EEPROM"},
    {Group::clock, "clock", "Measurement clocks"},
    {Group::control, "control", "Control"},
    {Group::data_word, "data", "Data word"},
    {Group::directive, "directive", "Directive"},
    {Group::wide_48bit, "wide", "48-bit forms (not supported)"},
}};

const GroupInfo& group_info(Group group) {
    return *std::ranges::find(groups, group, &GroupInfo::group);
}

std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string code(std::string_view text) {
    return "<code>" + escape(text) + "</code>";
}

std::string page_start(std::string_view title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           escape(title) + "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
           std::string(stylesheet) + "\">\n</head>\n<body>\n";
}

constexpr std::string_view page_end = "</body>\n</html>\n";

std::string byte_count(int size) {
    return std::to_string(size) + (size == 1 ? " byte" : " bytes");
}

std::string hex_byte(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

std::string joined(const std::vector<std::string>& items, std::string_view separator) {
    std::string text;
    for (const std::string& item : items) {
        if (!text.empty()) text += separator;
        text += item;
    }
    return text;
}

std::string operands_section(const isa::Mnemonic& m) {
    const std::vector<OperandInfo> infos = operand_infos(m);
    if (infos.empty()) return "<h2>Operands</h2>\n<p>None.</p>\n";
    std::string html = "<h2>Operands</h2>\n<table class=\"operands\">\n";
    for (const OperandInfo& info : infos)
        html += "<tr><td>" + code(info.name) + "</td><td>" + escape(info.meaning) + "</td></tr>\n";
    return html + "</table>\n";
}

std::string form_row_html(const FormRow& row) {
    const std::string bytes = row.bytes.empty() ? "no code" : code(joined(row.bytes, ", "));
    return "<tr><td class=\"syntax\">" + code(row.syntax) + "</td><td class=\"condition\">" +
           escape(row.condition) + "</td><td class=\"size\">" + byte_count(row.size) +
           "</td><td class=\"bytes\">" + bytes + "</td></tr>\n";
}

// The sample statement of a form with the bytes the encoder gives it and the comments the
// .hex file shows for them.
std::string sample_row_html(const FormRow& row) {
    const isa::Encoded encoded = isa::encode(row.sample);
    std::vector<std::string> bytes;
    for (int i = 0; i < encoded.bytes.size; ++i)
        bytes.push_back(hex_byte(encoded.bytes.data[static_cast<std::size_t>(i)]));
    std::string statement = code(row.sample_text);
    if (!row.sample_where.empty())
        statement += " <span class=\"where\">(" + escape(row.sample_where) + ")</span>";
    std::string comments = joined(encoded.comments, "; ");
    std::string code_cell = bytes.empty() ? "no code" : code(joined(bytes, " "));
    if (row.size == 0) {
        // The directive's output is its line of the .epr file.
        char line[16];
        std::snprintf(line, sizeof line, "%02X: %02X", row.sample.operands[0].value,
                      row.sample.operands[1].value);
        return "<tr><td class=\"sample\">" + statement + "</td><td class=\"code\">" + code_cell +
               "</td><td class=\"comments\">" + code(line) + " in the .epr file</td></tr>\n";
    }
    return "<tr><td class=\"sample\">" + statement + "</td><td class=\"code\">" + code_cell +
           "</td><td class=\"comments\">" + code(comments) + "</td></tr>\n";
}

std::string forms_section(const isa::Mnemonic& m) {
    const std::vector<FormRow> rows = form_rows(m);
    if (rows.empty())
        return "<h2>Forms, size and encoding</h2>\n<p>Not supported: the assembler reports "
               "<code>opcode not found!!!</code> and produces no code.</p>\n";
    std::string html = "<h2>Forms, size and encoding</h2>\n<table class=\"forms\">\n"
                       "<tr><th>Form</th><th>Used when</th><th>Size</th><th>Bytes</th></tr>\n";
    for (const FormRow& row : rows)
        html += form_row_html(row);
    html += "</table>\n";
    const std::vector<Symbol> symbols = symbols_used(rows);
    if (!symbols.empty()) {
        html += "<ul class=\"legend\">\n";
        for (const Symbol& symbol : symbols)
            html += "<li>" + code(symbol.label) + ": " + escape(symbol.meaning) + "</li>\n";
        html += "</ul>\n";
    }
    html += "<h3>For example</h3>\n<table class=\"samples\">\n<tr><th>Statement</th><th>Bytes"
            "</th><th>In the output file</th></tr>\n";
    for (const FormRow& row : rows)
        html += sample_row_html(row);
    return html + "</table>\n";
}

std::string flags_section(const OpcodeNote& note) {
    static constexpr std::array<std::pair<Flag, std::string_view>, 4> flags{{
        {signum, "Signum"},
        {not_equal, "Not Equal"},
        {overflow, "Overflow"},
        {carry, "Carry"},
    }};
    std::string head, cells;
    for (const auto& [flag, name] : flags) {
        head += "<th>" + std::string(name) + "</th>";
        cells += (note.flags & flag) ? "<td class=\"changed\">changed</td>"
                                     : "<td class=\"kept\">unchanged</td>";
    }
    std::string html = "<h2>Flags</h2>\n<table class=\"flags\">\n<tr>" + head + "</tr>\n<tr>" +
                       cells + "</tr>\n</table>\n";
    if (!note.flag_remark.empty()) html += "<p>" + escape(note.flag_remark) + "</p>\n";
    return html;
}

std::string description(const isa::Mnemonic& m, const OpcodeNote& note) {
    std::string html = "<p class=\"summary\">" + escape(note.summary) + "</p>\n";
    if (!note.details.empty()) html += "<p>" + escape(note.details) + "</p>\n";
    if (m.message != m.source)
        html += "<p>In the assembler's messages and in the comments of the .hex file this "
                "mnemonic is written " +
                code(m.message) + ".</p>\n";
    return html;
}

std::string sizes_text(const isa::Mnemonic& m) {
    std::vector<int> sizes;
    for (const FormRow& row : form_rows(m))
        if (std::ranges::find(sizes, row.size) == sizes.end()) sizes.push_back(row.size);
    if (sizes.empty()) return "not supported";
    std::string text;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        text += (i == 0 ? "" : " or ") + std::to_string(sizes[i]);
    return text + (sizes.size() == 1 && sizes[0] == 1 ? " byte" : " bytes");
}

constexpr std::string_view frame_intro =
    "<h1>KZ71 opcode help</h1>\n"
    "<p>Every mnemonic of the KZ71 assembler language, by group. Each page gives the "
    "operands and their ranges, the forms with their size and bytes, the flags the "
    "instruction changes and a short example. What an instruction does to accumulators and "
    "flags is described as the kit's simulator executes it.</p>\n"
    "<h2>Reading the pages</h2>\n<ul>\n"
    "<li>Mnemonics are written exactly as shown: <code>clrC</code> is a mnemonic, "
    "<code>CLRC</code> and <code>clrc</code> are names.</li>\n"
    "<li>Accumulators: <code>x</code>, <code>y</code>, <code>z</code> and <code>r</code>, "
    "24 bits each; <code>r</code> is the RAM cell at the RAM address set with "
    "<code>ramadr</code>. In the bytes they are numbered x 0, y 1, z 2, r 3.</li>\n"
    "<li>Numbers: decimal (<code>20</code>), hexadecimal (<code>0x14</code>), fractions "
    "between -0.5 and 0.5 (<code>0.25</code> is <code>0x400000</code>), CONST names and "
    "expressions with <code>+ - * /</code> and parentheses.</li>\n"
    "<li>Labels: a name followed by a colon in front of a statement; jumps name it without "
    "the colon.</li>\n"
    "<li>Flags: Signum (bit 23 of the last result), Not Equal (the last result was not 0), "
    "Overflow and Carry. The conditions test them: CarC/CarS Carry clear/set, EQ/NE Not Equal "
    "clear/set, Pos/Neg Signum clear/set, OvrC/OvrS Overflow clear/set, BitC/BitS a bit of an "
    "accumulator clear/set.</li>\n"
    "<li>Bytes: the first byte stands at the lower address; the .hex file shows two bytes per "
    "line.</li>\n</ul>\n";

std::string group_table(const GroupInfo& info, std::span<const isa::Mnemonic> mnemonics,
                        std::span<const OpcodeNote> notes) {
    std::string html = "<h2 id=\"" + std::string(info.anchor) + "\">" + escape(info.title) +
                       "</h2>\n<table class=\"index\">\n";
    for (const isa::Mnemonic& m : mnemonics) {
        if (m.group != info.group) continue;
        const OpcodeNote* note = note_for(notes, m);
        html += "<tr><td><a href=\"" + page_file_name(m) + "\">" + code(m.source) +
                "</a></td><td>" + (note ? escape(note->summary) : "") + "</td><td class=\"size\">" +
                sizes_text(m) + "</td></tr>\n";
    }
    return html + "</table>\n";
}

std::string alphabetical(std::span<const isa::Mnemonic> mnemonics) {
    std::vector<const isa::Mnemonic*> sorted;
    for (const isa::Mnemonic& m : mnemonics)
        sorted.push_back(&m);
    std::ranges::sort(sorted, [](const isa::Mnemonic* a, const isa::Mnemonic* b) {
        return a->source < b->source;
    });
    std::string html = "<h2 id=\"all\">All mnemonics</h2>\n<p class=\"all\">";
    for (std::size_t i = 0; i < sorted.size(); ++i)
        html += (i == 0 ? "" : " ") + std::string("<a href=\"") + page_file_name(*sorted[i]) +
                "\">" + code(sorted[i]->source) + "</a>";
    return html + "</p>\n";
}

std::string toc_entry(std::string_view title, std::string_view ref, std::string_view inner) {
    std::string xml = "<section title=\"" + escape(title) + "\" ref=\"" + std::string(ref) + "\"";
    if (inner.empty()) return xml + "/>\n";
    return xml + ">\n" + std::string(inner) + "</section>\n";
}

} // namespace

std::string page_file_name(const isa::Mnemonic& m) {
    return std::string(m.source) + ".htm";
}

const OpcodeNote* note_for(std::span<const OpcodeNote> notes, const isa::Mnemonic& m) {
    const auto found = std::ranges::find(notes, m.source, &OpcodeNote::mnemonic);
    return found == notes.end() ? nullptr : &*found;
}

std::string mnemonic_page(const isa::Mnemonic& m, const OpcodeNote& note) {
    const GroupInfo& info = group_info(m.group);
    std::string html = page_start(std::string(m.source) + " - KZ71 opcode help");
    html += "<p class=\"nav\"><a href=\"" + std::string(entry_page) +
            "\">All opcodes</a> | <a href=\"" + std::string(entry_page) + "#" +
            std::string(info.anchor) + "\">" + escape(info.title) + "</a></p>\n";
    html += "<h1>" + escape(m.source) + "</h1>\n" + description(m, note);
    // A rejected mnemonic has neither operands nor flags to speak of.
    const bool rejected = m.rules.check == isa::Check::not_found;
    html += (rejected ? "" : operands_section(m)) + forms_section(m) +
            (rejected ? "" : flags_section(note));
    if (!note.example.empty())
        html += "<h2>Example</h2>\n<pre class=\"example\">" + escape(note.example) + "</pre>\n";
    return html + std::string(page_end);
}

std::string frame_page(std::span<const isa::Mnemonic> mnemonics,
                       std::span<const OpcodeNote> notes) {
    std::string html = page_start("KZ71 opcode help") + std::string(frame_intro);
    html += "<p class=\"nav\">";
    for (const GroupInfo& info : groups)
        html += "<a href=\"#" + std::string(info.anchor) + "\">" + escape(info.title) + "</a> | ";
    html += "<a href=\"#all\">All mnemonics</a></p>\n";
    for (const GroupInfo& info : groups)
        html += group_table(info, mnemonics, notes);
    return html + alphabetical(mnemonics) + std::string(page_end);
}

std::string help_project(std::span<const isa::Mnemonic> mnemonics) {
    std::string sections, keywords;
    std::string files = "<file>" + std::string(entry_page) + "</file>\n<file>" +
                        std::string(stylesheet) + "</file>\n";
    for (const GroupInfo& info : groups) {
        std::string inner;
        for (const isa::Mnemonic& m : mnemonics)
            if (m.group == info.group) inner += toc_entry(m.source, page_file_name(m), "");
        sections +=
            toc_entry(info.title, std::string(entry_page) + "#" + std::string(info.anchor), inner);
    }
    for (const isa::Mnemonic& m : mnemonics) {
        const std::string page = page_file_name(m);
        keywords += "<keyword name=\"" + escape(m.source) + "\" id=\"" + escape(m.source) +
                    "\" ref=\"" + page + "\"/>\n";
        if (m.message != m.source)
            keywords += "<keyword name=\"" + escape(m.message) + "\" id=\"" + escape(m.message) +
                        "\" ref=\"" + page + "\"/>\n";
        files += "<file>" + page + "</file>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QtHelpProject version=\"1.0\">\n"
           "<namespace>" +
           std::string(opcode_namespace) + "</namespace>\n<virtualFolder>" +
           std::string(opcode_folder) + "</virtualFolder>\n<filterSection>\n<toc>\n" +
           toc_entry("KZ71 opcodes", entry_page, sections) + "</toc>\n<keywords>\n" + keywords +
           "</keywords>\n<files>\n" + files + "</files>\n</filterSection>\n</QtHelpProject>\n";
}

} // namespace help
