#include "bounded_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace files {
namespace fs = std::filesystem;

ReadResult readRegularFile(const std::string& path, std::size_t limit) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error); // follows links
    if (status.type() == fs::file_type::not_found) return {ReadStatus::missing, {}};
    if (error) return {ReadStatus::unreadable, {}};
    if (status.type() != fs::file_type::regular) return {ReadStatus::notRegular, {}};
    const auto size = fs::file_size(path, error);
    if (error) return {ReadStatus::unreadable, {}};
    if (size > limit) return {ReadStatus::tooLarge, {}};

    std::ifstream in(path, std::ios::binary);
    if (!in) return {ReadStatus::unreadable, {}};
    // A file that grows after the size check is read only up to the size checked.
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return {ReadStatus::unreadable, {}};
    return {ReadStatus::ok, std::move(bytes)};
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
