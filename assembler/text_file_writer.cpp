#include "assembler/text_file_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

TextFileWriter::TextFileWriter(const std::string& path) : path_(path) {
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    struct stat info {};
    if (fd_ < 0 || fstat(fd_, &info) != 0) {
        // A folder, or a FIFO or socket without a reader.
        fail(errno == EISDIR || errno == ENXIO ? "not a regular file" : std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        close(fd_);
        fd_ = -1;
        fail("not a regular file");
    }
}

void TextFileWriter::fail(std::string reason) {
    if (failed_) return;
    failed_ = true;
    reason_ = std::move(reason);
}

TextFileWriter::~TextFileWriter() {
    if (fd_ >= 0) close(fd_);
}

TextFileWriter& TextFileWriter::write_long(std::string_view piece) {
    while (piece.size() > buffer_.size() - used_) {
        const std::size_t part = buffer_.size() - used_;
        std::copy_n(piece.data(), part, at());
        used_ += part;
        piece.remove_prefix(part);
        flush();
    }
    return *this << piece;
}

void TextFileWriter::flush() {
    const char* at = buffer_.data();
    std::size_t left = used_;
    used_ = 0;
    while (left > 0 && !failed_) {
        const ssize_t count = write(fd_, at, left);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            fail(count < 0 ? std::strerror(errno) : "nothing written");
            break;
        }
        at += count;
        left -= static_cast<std::size_t>(count);
        written_ += static_cast<std::size_t>(count);
    }
}

bool TextFileWriter::finish() {
    if (fd_ < 0) return false;
    flush();
    if (!failed_ && ftruncate(fd_, static_cast<off_t>(written_)) != 0) fail(std::strerror(errno));
    if (close(fd_) != 0) fail(std::strerror(errno));
    fd_ = -1;
    if (failed_) std::remove(path_.c_str());
    return !failed_;
}
