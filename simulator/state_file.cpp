#include "simulator/state_file.h"

#include "simulator/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <vector>

namespace sim {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t max_state_file_size = 1024 * 1024; // a state file is about 55 KB
constexpr int max_link_depth = 40;

constexpr std::string_view header = "KZ71 simulator state 1";
constexpr std::size_t bytes_per_line = 32;

// One memory as the file holds it: a cell is a byte, or empty for an OTP cell never programmed.
using Cells = std::vector<std::optional<std::uint8_t>>;

void writeSection(std::string& text, std::string_view name, const Cells& cells) {
    text += '[';
    text += name;
    text += "]\n";
    for (std::size_t line = 0; line < cells.size(); line += bytes_per_line) {
        char field[24];
        std::snprintf(field, sizeof field, "%04zX:", line);
        text += field;
        for (std::size_t i = line; i < line + bytes_per_line && i < cells.size(); ++i) {
            if (cells[i]) {
                std::snprintf(field, sizeof field, " %02X", *cells[i]);
                text += field;
            } else {
                text += " --";
            }
        }
        text += '\n';
    }
}

template <std::size_t N>
Cells allProgrammed(const std::array<std::uint8_t, N>& bytes) {
    return Cells(bytes.begin(), bytes.end());
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string at(int line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

// Reads "[name]" and the lines of `cells.size()` cells that follow it.
bool readSection(TextLines& in, std::string_view name, Cells& cells, bool blanks_allowed,
                 std::string& problem) {
    std::string_view text;
    const std::string title = "[" + std::string(name) + "]";
    if (!in.next(text) || text != title) {
        problem = at(in.number(), "expected " + title);
        return false;
    }
    for (std::size_t first = 0; first < cells.size(); first += bytes_per_line) {
        if (!in.next(text)) {
            problem = at(in.number() + 1, "the file ends inside " + title);
            return false;
        }
        char label[24];
        std::snprintf(label, sizeof label, "%04zX:", first);
        if (text.substr(0, 5) != label) {
            problem = at(in.number(), std::string("expected the line ") + label);
            return false;
        }
        text.remove_prefix(5);
        const std::size_t count = std::min(bytes_per_line, cells.size() - first);
        if (text.size() != 3 * count) {
            problem = at(in.number(), "expected " + std::to_string(count) + " byte values");
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view field = text.substr(3 * i, 3);
            const int high = hexDigit(field[1]);
            const int low = hexDigit(field[2]);
            if (field[0] != ' ') {
                problem = at(in.number(), "byte values must be separated by blanks");
                return false;
            }
            if (blanks_allowed && field == " --") {
                cells[first + i].reset();
            } else if (high < 0 || low < 0) {
                problem = at(in.number(), "'" + std::string(field.substr(1)) + "' is not a byte");
                return false;
            } else {
                cells[first + i] = static_cast<std::uint8_t>(high * 16 + low);
            }
        }
    }
    return true;
}

// Where `path` leads through any chain of symbolic links: the file to write, so that the links
// keep pointing where they point.
std::optional<fs::path> followLinks(fs::path path) {
    for (int depth = 0; depth < max_link_depth; ++depth) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
        const fs::path target = fs::read_symlink(path, error);
        if (error) return std::nullopt;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return std::nullopt;
}

// The file that saving `path` replaces, when it may be replaced: nothing yet, or a regular file
// that can be written (a read-only state file stays as it is).
std::optional<fs::path> writableTarget(const std::string& path, std::string& problem) {
    const std::optional<fs::path> target = followLinks(path);
    if (!target) {
        problem = path + ": cannot be written (too many levels of symbolic links)";
        return std::nullopt;
    }
    std::error_code error;
    const fs::file_type type = fs::symlink_status(*target, error).type();
    if (type == fs::file_type::not_found) return target;
    if (type != fs::file_type::regular) {
        problem = path + ": not a regular file";
        return std::nullopt;
    }
    // Opening for appending changes nothing, and says whether writing is allowed.
    std::FILE* file = std::fopen(target->string().c_str(), "ab");
    if (!file) {
        problem = path + ": cannot be written (" + std::strerror(errno) + ")";
        return std::nullopt;
    }
    std::fclose(file);
    return target;
}

// A new file of a fresh name in the folder of `target`, open for writing; errno says why not.
std::optional<fs::path> createTemporaryBeside(const fs::path& target, std::FILE*& file) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".tmp%06X",
                      static_cast<unsigned>(random() & 0xFFFFFF));
        fs::path temporary = target;
        temporary += suffix;
        // "x": never an existing file, so never a FIFO or a link someone left there.
        file = std::fopen(temporary.string().c_str(), "wbx");
        if (file) return temporary;
        if (errno != EEXIST) break;
    }
    return std::nullopt;
}

// A replacement in progress: the file to replace and the temporary beside it, open for writing.
struct Replacement {
    fs::path target;
    fs::path temporary;
    std::FILE* file = nullptr;
};

std::optional<Replacement> startReplacing(const std::string& path, std::string& problem) {
    std::optional<fs::path> target = writableTarget(path, problem);
    if (!target) return std::nullopt;
    Replacement replacement;
    const std::optional<fs::path> temporary = createTemporaryBeside(*target, replacement.file);
    if (!temporary) {
        problem = path + ": cannot be written (" + std::strerror(errno) + ")";
        return std::nullopt;
    }
    replacement.target = std::move(*target);
    replacement.temporary = *temporary;
    return replacement;
}

} // namespace

std::string serializeState(const Board& board) {
    std::string text(header);
    text += '\n';
    writeSection(text, "spi-eeprom", allProgrammed(board.spi_eeprom.contents()));
    const Otp& otp = board.chip.otp();
    Cells otp_cells(Otp::size);
    for (std::size_t i = 0; i < Otp::size; ++i)
        if (otp.programmed()[i]) otp_cells[i] = otp.cells()[i];
    writeSection(text, "otp", otp_cells);
    writeSection(text, "user-eeprom", allProgrammed(board.chip.userEeprom().cells()));
    return text;
}

bool parseState(std::string_view text, Board& board, std::string& problem) {
    TextLines in(text);
    std::string_view first;
    if (!in.next(first) || first != header) {
        problem = at(1, "not a KZ71 simulator state file");
        return false;
    }
    Cells spi(SpiEeprom::size), otp(Otp::size), user(UserEeprom::size);
    if (!readSection(in, "spi-eeprom", spi, false, problem) ||
        !readSection(in, "otp", otp, true, problem) ||
        !readSection(in, "user-eeprom", user, false, problem))
        return false;
    std::string_view rest;
    while (in.next(rest)) {
        if (!rest.empty()) {
            problem = at(in.number(), "unexpected text after the last section");
            return false;
        }
    }
    for (std::size_t i = 0; i < spi.size(); ++i)
        board.spi_eeprom.contents()[i] = *spi[i];
    for (std::size_t i = 0; i < otp.size(); ++i)
        board.chip.otp().restore(static_cast<std::uint16_t>(i), otp[i]);
    for (std::size_t i = 0; i < user.size(); ++i)
        board.chip.userEeprom().cells()[i] = *user[i];
    return true;
}

StateLoadResult loadStateFile(const std::string& path, Board& board) {
    const FileContents file = readRegularFile(path, max_state_file_size);
    switch (file.status) {
    case FileRead::ok:
        break;
    case FileRead::missing:
        return {StateLoad::missing, {}};
    case FileRead::not_regular:
        return {StateLoad::rejected, path + ": not a regular file"};
    case FileRead::too_large:
        return {StateLoad::rejected, path + ": too large for a state file"};
    case FileRead::unreadable:
        return {StateLoad::rejected, path + ": cannot be read (" + file.reason + ")"};
    }
    std::string problem;
    if (!parseState(file.text, board, problem)) return {StateLoad::rejected, path + ": " + problem};
    return {StateLoad::loaded, {}};
}

bool checkStateFileWritable(const std::string& path, std::string& problem) {
    const std::optional<Replacement> replacement = startReplacing(path, problem);
    if (!replacement) return false;
    std::fclose(replacement->file);
    std::remove(replacement->temporary.string().c_str());
    return true;
}

bool saveStateFile(const std::string& path, std::string_view text, std::string& problem) {
    const std::optional<Replacement> replacement = startReplacing(path, problem);
    if (!replacement) return false;
    const fs::path& temporary = replacement->temporary;
    std::FILE* file = replacement->file;
    bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
    std::string reason = written ? "" : std::strerror(errno);
    if (std::fclose(file) != 0 && written) {
        written = false;
        reason = std::strerror(errno);
    }
    if (!written) {
        problem = path + ": cannot be written (" + reason + ")";
        std::remove(temporary.string().c_str());
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    std::error_code error;
    const auto old = fs::status(replacement->target, error);
    if (!error) fs::permissions(temporary, old.permissions(), error);
    fs::rename(temporary, replacement->target, error);
    if (error) {
        problem = path + ": cannot be replaced (" + error.message() + ")";
        std::remove(temporary.string().c_str());
        return false;
    }
    return true;
}

} // namespace sim
