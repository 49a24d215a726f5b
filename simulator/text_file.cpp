#include "simulator/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace sim {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

FileContents readRegularFile(const std::string& path, std::size_t max_size) {
    namespace fs = std::filesystem;
    FileContents contents;
    std::error_code error;
    const fs::file_type type = fs::status(path, error).type();
    if (type == fs::file_type::not_found) {
        contents.status = FileRead::missing;
        return contents;
    }
    if (error) {
        contents.status = FileRead::unreadable;
        contents.reason = error.message();
        return contents;
    }
    if (type != fs::file_type::regular) {
        contents.status = FileRead::not_regular;
        return contents;
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        contents.status = FileRead::unreadable;
        contents.reason = std::strerror(errno);
        return contents;
    }
    // One byte more than the bound tells a file that grew past it while being read.
    char buffer[16384];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        if (contents.text.size() + count > max_size) {
            contents.status = FileRead::too_large;
            contents.text.clear();
            return contents;
        }
        contents.text.append(buffer, count);
    }
    if (std::ferror(file.get())) {
        contents.status = FileRead::unreadable;
        contents.reason = std::strerror(errno);
        contents.text.clear();
    }
    return contents;
}

bool TextLines::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++number_;
    return true;
}

} // namespace sim
