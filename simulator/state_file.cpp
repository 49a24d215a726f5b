#include "simulator/state_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace sim {

namespace {

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

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool line(std::string_view& out) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        out = text_.substr(pos_, end - pos_);
        if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
        pos_ = end + 1;
        ++number_;
        return true;
    }
    int number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

std::string at(int line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

// Reads "[name]" and the lines of `cells.size()` cells that follow it.
bool readSection(Reader& in, std::string_view name, Cells& cells, bool blanks_allowed,
                 std::string& problem) {
    std::string_view text;
    const std::string title = "[" + std::string(name) + "]";
    if (!in.line(text) || text != title) {
        problem = at(in.number(), "expected " + title);
        return false;
    }
    for (std::size_t first = 0; first < cells.size(); first += bytes_per_line) {
        if (!in.line(text)) {
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
    Reader in(text);
    std::string_view first;
    if (!in.line(first) || first != header) {
        problem = at(1, "not a KZ71 simulator state file");
        return false;
    }
    Cells spi(SpiEeprom::size), otp(Otp::size), user(UserEeprom::size);
    if (!readSection(in, "spi-eeprom", spi, false, problem) ||
        !readSection(in, "otp", otp, true, problem) ||
        !readSection(in, "user-eeprom", user, false, problem))
        return false;
    std::string_view rest;
    while (in.line(rest)) {
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
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return {StateLoad::missing, {}};
    std::ifstream file(path, std::ios::binary);
    if (status.type() != std::filesystem::file_type::regular || !file)
        return {StateLoad::rejected, path + ": cannot be read"};
    std::ostringstream text;
    text << file.rdbuf();
    std::string problem;
    if (!parseState(text.str(), board, problem))
        return {StateLoad::rejected, path + ": " + problem};
    return {StateLoad::loaded, {}};
}

bool saveStateFile(const std::string& path, std::string_view text, std::string& problem) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        file.flush();
        if (!file) {
            problem = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        problem = "cannot replace " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace sim
