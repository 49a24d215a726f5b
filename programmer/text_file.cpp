#include "programmer/text_file.h"

#include "platform/regular_file.h"

#include <utility>

namespace programmer {

std::optional<std::string> readTextFile(const std::string& path, std::size_t limit) {
    platform::FileContents contents = platform::readRegularFile(path, limit);
    if (contents.status != platform::FileRead::ok) return std::nullopt;
    return std::move(contents.text);
}

std::string_view takeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(0, length);
    text.remove_prefix(length);
    return line;
}

} // namespace programmer
