#include "programmer/address_table.h"

#include "programmer/debug_messages.h"
#include "programmer/download_frame.h"
#include "programmer/text_file.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace programmer {

namespace {

// The pause after opening one of the debugger's input files.
constexpr int open_pause_ms = 300;
constexpr auto hex_check_limit = std::chrono::seconds(50);
// A line longer than this is read as several lines.
constexpr std::size_t max_line_length = 4096;

// Hands each line of `text` (without its line end, "\n" or "\r\n", and cut into pieces of at
// most max_line_length characters) to `onLine` with its index from 0, until it returns false.
// Returns whether every line was handed over.
template <typename OnLine>
bool forEachLine(std::string_view text, OnLine&& onLine) {
    for (int index = 0; !text.empty(); ++index) {
        const std::size_t end = text.find('\n');
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.size() > max_line_length) line = text.substr(0, next = max_line_length);
        text.remove_prefix(next);
        if (!onLine(line, index)) return false;
    }
    return true;
}

// Reads one of the debugger's files line by line, with the pause after opening it and the time
// limit: error `openFailed` when it cannot be read, warning 205 when the limit is passed.
template <typename OnLine>
int readTableFile(ProgrammerLink& link, const std::string& path, std::string_view openFailed,
                  std::chrono::seconds limit, OnLine&& onLine) {
    const std::optional<std::string> text = readTextFile(path);
    link.wait(open_pause_ms);
    if (!text) {
        link.report.showErrorPopup(openFailed, debug_message::file_access_code);
        return 1;
    }
    const auto start = link.clock.now();
    const bool complete = forEachLine(*text, [&](std::string_view line, int index) {
        onLine(line, index);
        return link.clock.now() - start <= limit;
    });
    if (complete) return 0;
    link.report.showWarningPopup(debug_message::table_timeout, debug_message::table_timeout_code);
    return 1;
}

// Reads a number in `base` at the start of `text`, taking the digits off; none when there is no
// digit or the number does not fit.
std::optional<std::int32_t> takeNumber(std::string_view& text, int base) {
    std::int32_t value = 0;
    const auto [end, problem] =
        std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (problem != std::errc() || end == text.data() || value < 0) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

struct DebugLine {
    std::int32_t address = 0;
    std::int32_t line = 0;
    std::string_view fileName;
};

// "%04X: %d %s": the address in hexadecimal, a colon, blanks, the line number, one blank and the
// file name up to the end of the line (blanks inside it belong to it).
std::optional<DebugLine> parseDebugLine(std::string_view text) {
    if (text.find(": ") == std::string_view::npos) return std::nullopt;
    DebugLine parsed;
    const auto address = takeNumber(text, 16);
    if (!address || !text.starts_with(':')) return std::nullopt;
    text.remove_prefix(1);
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    const auto line = takeNumber(text, 10);
    if (!line || *line == 0 || !text.starts_with(' ') || text.size() < 2) return std::nullopt;
    parsed.address = *address;
    parsed.line = *line;
    parsed.fileName = text.substr(1);
    return parsed;
}

bool contains(std::string_view line, std::string_view part) {
    return line.find(part) != std::string_view::npos;
}

} // namespace

const AddressEntry& AddressAssignmentTable::at(std::int32_t address) const {
    static const AddressEntry none;
    if (address < 0 || address >= size) return none;
    return entries[static_cast<std::size_t>(address)];
}

void clearAddressTable(AddressAssignmentTable& table) {
    for (AddressEntry& entry : table.entries)
        entry = AddressEntry{};
}

int loadDebugFile(ProgrammerLink& link, AddressAssignmentTable& table,
                  const std::string& dbgFilePath, std::chrono::seconds limit) {
    return readTableFile(link, dbgFilePath, debug_message::debug_file_access, limit,
                         [&](std::string_view text, int) {
                             const auto parsed = parseDebugLine(text);
                             if (!parsed || parsed->address >= AddressAssignmentTable::size) return;
                             AddressEntry& entry = table[parsed->address];
                             entry.line = parsed->line;
                             entry.bpFlag = 0;
                             entry.fileName = parsed->fileName;
                         });
}

int loadHexFileLines(ProgrammerLink& link, AddressAssignmentTable& table, DownloadImage& image,
                     const std::string& hexFilePath, std::chrono::seconds limit) {
    image.code.fill(0);
    image.lastIndex = 0;
    std::size_t stored = 0;
    const int result = readTableFile(
        link, hexFilePath, debug_message::hex_file_access, limit,
        [&](std::string_view text, int index) {
            if (!contains(text, ": ")) return;
            std::string_view rest = text;
            const auto address = takeNumber(rest, 16);
            if (address && *address < AddressAssignmentTable::size) {
                table[*address].hexLine = index;
                if (*address + 1 < AddressAssignmentTable::size)
                    table[*address + 1].hexLine = index;
            }
            const ImageLine data = readImageLine(text);
            for (int v = 0; data.kind == ImageLineKind::data && v < data.valueCount; ++v)
                if (stored < image.code.size())
                    image.code[stored++] = data.values[static_cast<std::size_t>(v)];
        });
    image.lastIndex = static_cast<std::int32_t>(stored) - 1;
    return result;
}

Clk10khzCheck checkHexFileForClk10khz(ProgrammerLink& link, const std::string& hexFilePath) {
    const std::optional<std::string> text = readTextFile(hexFilePath);
    link.wait(open_pause_ms);
    if (!text) {
        link.report.showErrorPopup(
            formatMessage(debug_message::hex_check_access, hexFilePath.c_str()),
            debug_message::hex_check_access_code);
        return Clk10khzCheck::unreadable;
    }
    const auto start = link.clock.now();
    bool found = false;
    const bool complete = forEachLine(*text, [&](std::string_view line, int) {
        found = found || contains(line, "clk10khz") || contains(line, "clk10KHz");
        return link.clock.now() - start <= hex_check_limit;
    });
    if (!complete) {
        link.report.showWarningPopup(debug_message::hex_check_timeout,
                                     debug_message::hex_check_timeout_code);
        return Clk10khzCheck::unreadable;
    }
    return found ? Clk10khzCheck::found : Clk10khzCheck::notFound;
}

bool isValidHoldPoint(const AddressAssignmentTable& table, std::int32_t line, std::string_view file,
                      ProgrammerReport& report, bool suppressMessage) {
    const bool valid = std::any_of(table.entries.begin(), table.entries.end(),
                                   [&](const AddressEntry& e) { return e.isOn(line, file); });
    if (!valid && !suppressMessage)
        report.showInfoPopup(debug_message::invalid_hold_point,
                             debug_message::invalid_hold_point_code);
    return valid;
}

std::vector<std::int32_t> addressesOnLine(const AddressAssignmentTable& table, std::int32_t line,
                                          std::string_view file) {
    std::vector<std::int32_t> addresses;
    for (std::int32_t a = 0; a < AddressAssignmentTable::size; ++a)
        if (table.at(a).isOn(line, file)) addresses.push_back(a);
    return addresses;
}

std::vector<std::string> sourceFiles(const AddressAssignmentTable& table) {
    std::vector<std::string> files;
    for (const AddressEntry& entry : table.entries)
        if (entry.hasStatement() &&
            std::find(files.begin(), files.end(), entry.fileName) == files.end())
            files.push_back(entry.fileName);
    return files;
}

} // namespace programmer
