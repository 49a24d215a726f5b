#include "golden_case.h"

#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> words_of(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

bool has_flag(const std::vector<std::string>& words, const std::string& flag) {
    for (std::size_t i = 2; i < words.size(); ++i)
        if (words[i] == flag) return true;
    return false;
}

struct Section {
    std::vector<std::string> header; // "===", kind, arguments...
    std::vector<std::string> lines;

    std::string text() const {
        bool crlf = has_flag(header, "crlf");
        std::string joined;
        for (const std::string& line : lines)
            joined += line + (crlf ? "\r\n" : "\n");
        if (has_flag(header, "noeol") && !joined.empty())
            joined.resize(joined.size() - (crlf ? 2 : 1));
        return joined;
    }
};

std::vector<Section> split_sections(std::istream& in) {
    std::vector<Section> sections;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("=== "))
            sections.push_back({words_of(line), {}});
        else if (!sections.empty())
            sections.back().lines.push_back(line);
    }
    return sections;
}

bool apply(const Section& section, GoldenCase& result, std::string& error) {
    const std::string& kind = section.header[1];
    std::string name = section.header.size() > 2 ? section.header[2] : "";
    if (kind == "args")
        result.args = section.lines;
    else if (kind == "file" && !name.empty())
        result.inputs.push_back({name, section.text()});
    else if (kind == "stdout")
        result.out = section.text();
    else if (kind == "stderr")
        result.err = section.text();
    else if (kind == "exit" && !section.lines.empty())
        result.exit_code = std::stoi(section.lines.front());
    else if (kind == "expect" && !name.empty())
        result.expected_files.push_back({name, section.text()});
    else if (kind == "absent" && !name.empty())
        result.absent_files.push_back(name);
    else {
        error = "bad section '" + kind + "'";
        return false;
    }
    return true;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Matches one line, where each "{{any}}" of `pattern` stands for any run of characters.
bool line_matches(std::string_view pattern, std::string_view line) {
    constexpr std::string_view any = "{{any}}";
    std::size_t wildcard = pattern.find(any);
    if (wildcard == std::string_view::npos) return pattern == line;
    if (!line.starts_with(pattern.substr(0, wildcard))) return false;
    std::string_view rest = pattern.substr(wildcard + any.size());
    for (std::size_t start = wildcard; start <= line.size(); ++start)
        if (line_matches(rest, line.substr(start))) return true;
    return false;
}

std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos) end = text.size() - 1;
        lines.push_back(text.substr(0, end + 1));
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace

std::optional<GoldenCase> parse_golden_case(const std::filesystem::path& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    GoldenCase result;
    result.name = file.stem().string();
    for (const Section& section : split_sections(in))
        if (section.header.size() < 2 || !apply(section, result, error)) return std::nullopt;
    if (!result.out) {
        error = "no stdout section";
        return std::nullopt;
    }
    return result;
}

bool golden_text_matches(const std::string& expected, const std::string& actual,
                         const std::string& cwd) {
    std::string pattern = replace_all(expected, "{{cwd}}", cwd);
    std::vector<std::string_view> wanted = lines_of(pattern);
    std::vector<std::string_view> got = lines_of(actual);
    if (wanted.size() != got.size()) return false;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (!line_matches(wanted[i], got[i])) return false;
    return true;
}
