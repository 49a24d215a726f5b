// Reading and writing the INI text of "settings.ini" and the ".prj" project files.
//
// Syntax: "[Section]" lines, one "key = value" entry per line, integers in decimal,
// strings in double quotes with backslash escapes, strings over 80 characters split into
// "<key> Line0001", "<key> Line0002", ... entries, ";" comments, CR LF line ends on
// writing, sections and keys in sorted order. Reading accepts LF line ends as well.
// Section and key names are matched without regard to case.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace ini {

// Orders names without regard to case; names that differ only in case are the same name.
struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

class IniText {
public:
    // Parses INI text; lines that are not sections or entries are ignored.
    static IniText parse(std::string_view text);
    // Reads a regular file of at most `limit` bytes; nullopt when it is missing, not a regular
    // file, larger than the bound or unreadable.
    static std::optional<IniText> readFile(const std::string& path, std::size_t limit);

    void putInt(const std::string& section, const std::string& key, long long value);
    void putString(const std::string& section, const std::string& key, std::string_view value);

    // An integer entry; nullopt when missing or not a decimal number.
    std::optional<long long> getInt(const std::string& section, const std::string& key) const;
    // A string entry, unescaped, with split " Line" entries joined; nullopt when missing.
    std::optional<std::string> getString(const std::string& section, const std::string& key) const;
    bool hasSection(const std::string& section) const;

    // The whole text in the written form (sorted, CR LF).
    std::string serialize() const;
    // Replaces the file with serialize() (through a temporary file, so a failed write keeps the
    // old file); false when the file cannot be written.
    bool writeFile(const std::string& path) const;

private:
    struct Value {
        bool quoted = false;
        std::string text; // unescaped content
    };
    using Section = std::map<std::string, Value, NameLess>;
    std::optional<Value> raw(const std::string& section, const std::string& key) const;

    std::map<std::string, Section, NameLess> sections_;
};

// Escaping of one string value without its quotes, and the reverse.
std::string escape(std::string_view text);
std::string unescape(std::string_view text);

// Longest written piece of a string value, in characters (UTF-8 sequences are kept whole).
inline constexpr std::size_t max_piece_chars = 80;

} // namespace ini
