#include "assembler/text_file_writer.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TextFileWriter::TextFileWriter(const std::string& path) : path_(path) {
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    struct stat info {};
    failed_ = fd_ < 0 || fstat(fd_, &info) != 0;
    regular_ = !failed_ && S_ISREG(info.st_mode);
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
            failed_ = true;
            break;
        }
        at += count;
        left -= static_cast<std::size_t>(count);
        written_ += static_cast<std::size_t>(count);
    }
}

bool TextFileWriter::finish() {
    flush();
    if (regular_ && !failed_) failed_ = ftruncate(fd_, static_cast<off_t>(written_)) != 0;
    if (fd_ >= 0 && close(fd_) != 0) failed_ = true;
    fd_ = -1;
    if (failed_ && regular_) std::remove(path_.c_str());
    return !failed_;
}
