#include "assembler/source_file.h"

#include "platform/descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Drops each carriage return that stands directly before a line feed; returns the new size.
std::size_t to_text_mode(char* text, std::size_t size) {
    char* const end = text + size;
    char* carriage = static_cast<char*>(std::memchr(text, '\r', size));
    if (carriage == nullptr) return size;
    char* out = carriage;
    for (const char* in = carriage; in < end; ++in) {
        if (*in == '\r' && in + 1 < end && in[1] == '\n') continue;
        *out++ = *in;
    }
    return static_cast<std::size_t>(out - text);
}

// Reads everything up to `limit` bytes (and one more, to tell that there is more) into a
// buffer that grows as needed, starting from the size the file says it has.
bool read_all(int fd, std::size_t expected, std::size_t limit, std::unique_ptr<char[]>& buffer,
              std::size_t& size, int& error) {
    std::size_t capacity = std::min(expected, limit) + 1;
    buffer = std::make_unique_for_overwrite<char[]>(capacity + SourceText::end_marks);
    size = 0;
    for (;;) {
        if (size == capacity) {
            if (capacity > limit) break;
            const std::size_t grown = std::min(2 * capacity, limit + 1);
            auto larger = std::make_unique_for_overwrite<char[]>(grown + SourceText::end_marks);
            std::memcpy(larger.get(), buffer.get(), size);
            buffer = std::move(larger);
            capacity = grown;
        }
        const ssize_t got = read(fd, buffer.get() + size, capacity - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = errno;
            return false;
        }
        if (got == 0) break;
        size += static_cast<std::size_t>(got);
    }
    if (size > limit) {
        error = EFBIG;
        return false;
    }
    return true;
}

} // namespace

std::optional<SourceText> SourceText::of(std::string_view text) {
    SourceText source;
    try {
        source.buffer_ = std::make_unique_for_overwrite<char[]>(text.size() + end_marks);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    std::memcpy(source.buffer_.get(), text.data(), text.size());
    source.size_ = to_text_mode(source.buffer_.get(), text.size());
    std::memset(source.buffer_.get() + source.size_, 0, end_marks);
    return source;
}

std::optional<SourceText> read_source(const std::string& path, std::size_t limit, int& error) {
    const platform::Descriptor file(
        open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || fstat(file.get(), &info) != 0) {
        error = errno;
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : ENOTSUP;
        return std::nullopt;
    }
    if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > limit) {
        error = EFBIG;
        return std::nullopt;
    }
    SourceText source;
    try {
        if (!read_all(file.get(), static_cast<std::size_t>(info.st_size), limit, source.buffer_,
                      source.size_, error))
            return std::nullopt;
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
        return std::nullopt;
    }
    source.size_ = to_text_mode(source.buffer_.get(), source.size_);
    std::memset(source.buffer_.get() + source.size_, 0, SourceText::end_marks);
    source.device = info.st_dev;
    source.inode = info.st_ino;
    return source;
}
