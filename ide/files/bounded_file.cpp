#include "bounded_file.h"

#include "platform/regular_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace files {
namespace fs = std::filesystem;

ReadResult readRegularFile(const std::string& path, std::size_t limit) {
    platform::FileContents contents = platform::readRegularFile(path, limit);
    switch (contents.status) {
    case platform::FileRead::ok:
        return {ReadStatus::ok, std::move(contents.text)};
    case platform::FileRead::missing:
        return {ReadStatus::missing, {}};
    case platform::FileRead::not_regular:
        return {ReadStatus::notRegular, {}};
    case platform::FileRead::too_large:
        return {ReadStatus::tooLarge, {}};
    case platform::FileRead::unreadable:
        break;
    }
    return {ReadStatus::unreadable, {}};
}

bool replaceFile(const std::string& path, std::string_view bytes) {
    std::error_code error;
    // Through every link to the file itself, so the rename replaces that file, not the link.
    fs::path target = fs::exists(path, error) ? fs::canonical(path, error) : fs::path(path);
    if (error) return false;
    if (fs::exists(target, error)) {
        if (!fs::is_regular_file(target, error)) return false;
        // A file the user may not write (read-only) stays as it is, although the folder
        // would let the rename replace it. Opening to append changes nothing.
        if (!std::ofstream(target, std::ios::binary | std::ios::app)) return false;
    }
    fs::path temporary = target;
    temporary += ".writing";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return false;
        }
    }
    // The new file keeps the old one's permissions.
    const fs::file_status old = fs::status(target, error);
    if (!error && old.type() == fs::file_type::regular)
        fs::permissions(temporary, old.permissions(), error);
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace files
