#include "assembler/replace_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The file a path names, through a symbolic link (also one whose file does not exist yet).
fs::path file_behind(const fs::path& path) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
    const fs::path resolved = fs::weakly_canonical(path, error);
    return error ? path : resolved;
}

mode_t default_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string system_reason() {
    return std::strerror(errno);
}

// Writes `text` into a new temporary file beside `target` and renames it over `target`.
bool write_and_rename(const fs::path& target, std::string_view text, mode_t mode,
                      std::string& reason) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        reason = system_reason();
        return false;
    }
    bool done = fchmod(fd, mode) == 0 && write_all(fd, text) && fsync(fd) == 0;
    if (!done) reason = system_reason();
    if (close(fd) != 0 && done) {
        done = false;
        reason = system_reason();
    }
    if (done && std::rename(name.data(), target.c_str()) != 0) {
        done = false;
        reason = system_reason();
    }
    if (!done) unlink(name.data());
    return done;
}

} // namespace

bool replace_file(const std::string& path, std::string_view text, std::string& reason) {
    const fs::path target = file_behind(path);
    struct stat existing {};
    mode_t mode = default_mode();
    if (stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode)) {
            reason = "not a regular file";
            return false;
        }
        if (access(target.c_str(), W_OK) != 0) {
            reason = system_reason();
            return false;
        }
        mode = existing.st_mode & 07777;
    }
    return write_and_rename(target, text, mode, reason);
}

bool remove_regular_file(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return true;
    return fs::remove(path, error) && !error;
}
