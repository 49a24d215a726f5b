#include "programmer/text_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace programmer {

std::optional<std::string> readTextFile(const std::string& path, std::size_t limit) {
    std::error_code error;
    const std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
    const auto size = std::filesystem::file_size(file, error);
    if (error || size > limit) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), static_cast<std::streamsize>(size));
    // A file that grew meanwhile is read up to its size at the check, never beyond the bound.
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return text;
}

std::string_view takeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(0, length);
    text.remove_prefix(length);
    return line;
}

} // namespace programmer
