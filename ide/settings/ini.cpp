#include "ini.h"

#include "files/bounded_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <sstream>
#include <vector>

namespace ini {
namespace {

constexpr std::string_view line_suffix = " Line";

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string_view trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Index just past the closing quote of a quoted value that starts at s[0] == '"'.
std::size_t closing_quote(std::string_view s) {
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\')
            ++i;
        else if (s[i] == '"')
            return i;
    }
    return s.size();
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Splits a value into pieces of at most max_piece_chars UTF-8 characters.
std::vector<std::string_view> split_pieces(std::string_view text) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool starts_char = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts_char && chars == max_piece_chars) {
            pieces.push_back(text.substr(start, i - start));
            start = i;
            chars = 0;
        }
        if (starts_char) ++chars;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

std::string piece_key(const std::string& key, int number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", number);
    return key + std::string(line_suffix) + digits;
}

} // namespace

bool NameLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lower(x) < lower(y); });
}

std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (u < 0x20 || u == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", u);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        switch (next) {
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 'x': {
            int hi = i + 1 < text.size() ? hex_digit(text[i + 1]) : -1;
            int lo = i + 2 < text.size() ? hex_digit(text[i + 2]) : -1;
            if (hi < 0 || lo < 0) {
                out += 'x';
                break;
            }
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            out += next; // \" \\ and anything unknown stand for themselves
        }
    }
    return out;
}

IniText IniText::parse(std::string_view text) {
    IniText result;
    Section* current = nullptr;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        std::string_view s = trim(line);
        if (s.empty() || s.front() == ';') continue;
        if (s.front() == '[') {
            auto close = s.find(']');
            if (close == std::string_view::npos) continue;
            current = &result.sections_[std::string(trim(s.substr(1, close - 1)))];
            continue;
        }
        auto eq = s.find('=');
        if (current == nullptr || eq == std::string_view::npos) continue;
        std::string key(trim(s.substr(0, eq)));
        std::string_view rest = trim(s.substr(eq + 1));
        Value value;
        if (!rest.empty() && rest.front() == '"') {
            value.quoted = true;
            value.text = unescape(rest.substr(1, closing_quote(rest) - 1));
        } else {
            value.text = std::string(trim(rest.substr(0, rest.find(';'))));
        }
        if (!key.empty()) current->emplace(std::move(key), std::move(value));
    }
    return result;
}

std::optional<IniText> IniText::readFile(const std::string& path, std::size_t limit) {
    files::ReadResult file = files::readRegularFile(path, limit);
    if (file.status != files::ReadStatus::ok) return std::nullopt;
    return parse(file.bytes);
}

void IniText::putInt(const std::string& section, const std::string& key, long long value) {
    sections_[section][key] = Value{false, std::to_string(value)};
}

void IniText::putString(const std::string& section, const std::string& key,
                        std::string_view value) {
    sections_[section][key] = Value{true, std::string(value)};
}

std::optional<IniText::Value> IniText::raw(const std::string& section,
                                           const std::string& key) const {
    auto s = sections_.find(section);
    if (s == sections_.end()) return std::nullopt;
    auto k = s->second.find(key);
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::optional<long long> IniText::getInt(const std::string& section, const std::string& key) const {
    auto value = raw(section, key);
    if (!value || value->quoted) return std::nullopt;
    std::string_view digits = value->text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    long long number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return number;
}

std::optional<std::string> IniText::getString(const std::string& section,
                                              const std::string& key) const {
    if (auto value = raw(section, key)) return value->text;
    std::optional<std::string> joined;
    for (int number = 1; number <= 9999; ++number) {
        auto piece = raw(section, piece_key(key, number));
        if (!piece) break;
        joined = joined.value_or("") + piece->text;
    }
    return joined;
}

bool IniText::hasSection(const std::string& section) const {
    return sections_.contains(section);
}

std::string IniText::serialize() const {
    std::string out;
    bool first = true;
    for (const auto& [name, entries] : sections_) {
        if (!first) out += "\r\n";
        first = false;
        out += "[" + name + "]\r\n";
        for (const auto& [key, value] : entries) {
            if (!value.quoted) {
                out += key + " = " + value.text + "\r\n";
                continue;
            }
            auto pieces = split_pieces(value.text);
            if (pieces.size() == 1) {
                out += key + " = \"" + escape(value.text) + "\"\r\n";
                continue;
            }
            for (std::size_t i = 0; i < pieces.size(); ++i)
                out += piece_key(key, static_cast<int>(i + 1)) + " = \"" + escape(pieces[i]) +
                       "\"\r\n";
        }
    }
    return out;
}

bool IniText::writeFile(const std::string& path) const {
    return files::replaceFile(path, serialize());
}

} // namespace ini
