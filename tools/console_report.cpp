#include "console_report.h"

#include <algorithm>
#include <istream>
#include <ostream>

namespace kz71prog {

namespace {

constexpr int bar_width = 40;

std::string oneLine(std::string_view text) {
    std::string line(text);
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

} // namespace

void ConsoleReport::appendMessage(std::string_view text) {
    if (text.empty()) return;
    clearBar();
    out_ << text << std::flush;
    lineOpen_ = text.back() != '\n';
}

void ConsoleReport::setLamp(programmer::LampState state) {
    using programmer::LampState;
    if (state != LampState::success && state != LampState::failed) return;
    clearBar();
    if (lineOpen_) out_ << '\n';
    out_ << label_ << ": " << programmer::lampAppearance(state).statusText << '\n' << std::flush;
    lineOpen_ = false;
}

void ConsoleReport::popup(std::string_view kind, int code, std::string_view message) {
    clearBar();
    out_ << std::flush;
    err_ << "kz71prog: " << kind << ' ' << code << ": " << oneLine(message) << '\n' << std::flush;
}

void ConsoleReport::showErrorPopup(std::string_view message, int code) {
    popup("Error", code, message);
}

void ConsoleReport::showWarningPopup(std::string_view message, int code) {
    popup("Warning", code, message);
}

void ConsoleReport::showInfoPopup(std::string_view message, int code) {
    popup("Info", code, message);
}

void ConsoleReport::showMessagePopup(std::string_view title, std::string_view text) {
    clearBar();
    err_ << "kz71prog: " << title << ": " << oneLine(text) << '\n' << std::flush;
}

bool ConsoleReport::askYesNo(std::string_view title, std::string_view text) {
    clearBar();
    err_ << title << ": " << oneLine(text) << " [y/N] ";
    if (settings_.assumeYes) {
        err_ << "yes (--yes)\n" << std::flush;
        return true;
    }
    err_ << std::flush;
    if (!settings_.inputIsTerminal) {
        err_ << "no (standard input is not a terminal; give --yes)\n" << std::flush;
        return false;
    }
    std::string answer;
    if (!std::getline(in_, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

void ConsoleReport::setUserEepromCell(int column, int row, std::string_view text) {
    if (column < 2 || column > 9 || row < 2 || row > 17) return;
    cells_[static_cast<std::size_t>(row - 2)][static_cast<std::size_t>(column - 2)] = text;
    if (column != 9 || row != 17) return;
    // The table is filled in cell order: the last cell completes it.
    clearBar();
    out_ << (lineOpen_ ? "\n" : "") << "User EEPROM content: (EEPROM bytes 0 to 127)\n";
    for (const auto& cells : cells_) {
        for (std::size_t c = 0; c < cells.size(); ++c)
            out_ << (c ? " " : "  ") << cells[c];
        out_ << '\n';
    }
    out_ << std::flush;
    lineOpen_ = false;
}

void ConsoleReport::progress(std::size_t done, std::size_t total) {
    if (!settings_.progressBar || total == 0) return;
    if (done >= total) {
        clearBar();
        return;
    }
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == barPercent_) return;
    // On a terminal shared with the messages, the bar takes a line of its own rather than the
    // end of an unfinished message line, which clearing it would wipe out.
    const bool ownLine = barPercent_ < 0 && lineOpen_;
    barPercent_ = percent;
    const int filled = percent * bar_width / 100;
    out_ << std::flush;
    err_ << (ownLine ? "\n" : "") << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(bar_width - filled), '.') << "] " << percent
         << "% " << std::flush;
}

void ConsoleReport::clearBar() {
    if (barPercent_ < 0) return;
    err_ << "\r\033[K" << std::flush;
    barPercent_ = -1;
}

void ConsoleReport::problem(std::string_view text) {
    clearBar();
    out_ << std::flush;
    err_ << "kz71prog: " << text << '\n' << std::flush;
}

void ConsoleReport::trace(const std::string& line) {
    out_ << std::flush;
    err_ << line << '\n' << std::flush;
}

void ConsoleReport::finish() {
    clearBar();
    if (lineOpen_) out_ << '\n';
    out_ << std::flush;
    lineOpen_ = false;
}

} // namespace kz71prog
