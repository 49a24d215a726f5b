#include "platform/regular_file.h"

#include "platform/descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

FileContents failure(FileRead status, std::string reason = {}) {
    FileContents contents;
    contents.status = status;
    contents.reason = std::move(reason);
    return contents;
}

FileContents systemFailure(int error) {
    if (error == ENOENT) return failure(FileRead::missing);
    if (error == ENXIO) return failure(FileRead::not_regular); // a socket
    return failure(FileRead::unreadable, std::strerror(error));
}

// Reads to the end, but never more than one byte beyond `max_size`, which tells a file that
// grew past the bound while it was read.
FileContents readAll(int fd, std::size_t expected, std::size_t max_size) {
    FileContents contents;
    contents.text.resize(std::min(expected, max_size) + 1);
    std::size_t size = 0;
    for (;;) {
        if (size == contents.text.size()) {
            if (size > max_size) break;
            contents.text.resize(std::min(2 * size, max_size + 1));
        }
        const ssize_t got = read(fd, contents.text.data() + size, contents.text.size() - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return systemFailure(errno);
        if (got == 0) break;
        size += static_cast<std::size_t>(got);
    }
    if (size > max_size) return failure(FileRead::too_large);
    contents.text.resize(size);
    return contents;
}

} // namespace

FileContents readRegularFile(const std::string& path, std::size_t max_size) {
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || fstat(file.get(), &info) != 0) return systemFailure(errno);
    if (!S_ISREG(info.st_mode)) return failure(FileRead::not_regular);
    if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > max_size)
        return failure(FileRead::too_large);
    return readAll(file.get(), static_cast<std::size_t>(info.st_size), max_size);
}

} // namespace platform
