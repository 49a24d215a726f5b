#include "programmer/download_image.h"

#include "programmer/text_file.h"

#include <chrono>
#include <cstdio>

namespace programmer {

namespace {

constexpr auto reading_limit = std::chrono::seconds(50);

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool endsToken(std::string_view text, std::size_t at) {
    return at >= text.size() || isBlank(text[at]) || text[at] == '\r' || text[at] == '\n';
}
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads hex digits at `at`, at most `maxDigits`; the number of digits read (0: none).
int readHex(std::string_view text, std::size_t& at, int maxDigits, std::uint32_t& value) {
    value = 0;
    int digits = 0;
    while (at < text.size() && hexDigit(text[at]) >= 0) {
        if (++digits > maxDigits) return maxDigits + 1;
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[at++]));
    }
    return digits;
}

void skipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && isBlank(text[at]))
        ++at;
}

bool onlyLineEnd(std::string_view line) {
    for (const char c : line)
        if (!isBlank(c) && c != '\r' && c != '\n') return false;
    return true;
}

ImageLine dataLine(std::string_view line) {
    ImageLine result;
    result.kind = ImageLineKind::invalid;
    std::size_t at = 0;
    skipBlanks(line, at);
    const int digits = readHex(line, at, 8, result.address);
    if (digits == 0 || digits > 8) return result;
    while (!endsToken(line, at)) // the separator runs up to the first blank
        ++at;
    while (result.valueCount < 2) {
        skipBlanks(line, at);
        std::size_t end = at;
        std::uint32_t value = 0;
        const int count = readHex(line, end, 2, value);
        if (count > 2) return result;                   // not a byte
        if (count == 0 || !endsToken(line, end)) break; // the rest of the line is ignored
        result.values[result.valueCount++] = static_cast<std::uint8_t>(value);
        at = end;
    }
    if (result.valueCount > 0) result.kind = ImageLineKind::data;
    return result;
}

void appendLineProblem(ProgrammerReport& report, const char* what, int lineNumber) {
    char text[96];
    std::snprintf(text, sizeof text, "\nInvalid line %d in %s\n", lineNumber, what);
    report.appendMessage(text);
}

} // namespace

ImageLine readImageLine(std::string_view line) {
    if (line == "// --- EOF ---") return {ImageLineKind::end};
    if (onlyLineEnd(line) || line.starts_with("//")) return {ImageLineKind::skip};
    return dataLine(line);
}

int readImageFile(ProgrammerLink& link, const std::string& path, std::string_view openFailed,
                  std::string_view timedOut, const ImageLineHandler& onLine, bool reportProgress) {
    const std::optional<std::string> file = readTextFile(path);
    link.wait(100);
    if (!file) {
        link.report.appendMessage(openFailed);
        return 1;
    }
    const auto start = link.clock.now();
    std::string_view text = *file;
    if (reportProgress) link.report.progress(0, file->size());
    for (int lineNumber = 1; !text.empty(); ++lineNumber) {
        const ImageLine line = readImageLine(takeLine(text));
        if (line.kind == ImageLineKind::end) break;
        if (line.kind != ImageLineKind::skip && !onLine(line, lineNumber)) return 1;
        if (reportProgress) link.report.progress(file->size() - text.size(), file->size());
        if (link.clock.now() - start > reading_limit) {
            link.report.appendMessage(timedOut);
            return 1;
        }
    }
    if (reportProgress) link.report.progress(file->size(), file->size());
    return 0;
}

int loadHexImage(ProgrammerLink& link, DownloadImage& image, const std::string& hexFilePath) {
    image.code.fill(0);
    image.lastIndex = 0;
    std::size_t stored = 0;
    const auto store = [&](const ImageLine& line, int lineNumber) {
        if (line.kind == ImageLineKind::invalid) {
            appendLineProblem(link.report, "hexfile", lineNumber);
            return false;
        }
        for (int v = 0; v < line.valueCount; ++v) {
            if (stored == image.code.size()) {
                link.report.appendMessage("\nThe hexfile holds more than 8192 bytes\n");
                return false;
            }
            image.code[stored++] = line.values[static_cast<std::size_t>(v)];
        }
        return true;
    };
    if (readImageFile(link, hexFilePath, "Opening hexfile failed", "\nWriting hexfile timed out\n",
                      store) != 0)
        return 1;
    image.lastIndex = static_cast<std::int32_t>(stored) - 1;
    return 0;
}

void showUserEepromTable(ProgrammerReport& report, const DownloadImage& image) {
    for (std::size_t i = 0; i < image.userEeprom.size(); ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "0x%02x", image.userEeprom[i]);
        report.setUserEepromCell(static_cast<int>(i % 8) + 2, static_cast<int>(i / 8) + 2, text);
    }
}

} // namespace programmer
