// Writing one output text file: through a fixed buffer, in the forms the output files use.
// An existing file is overwritten in place and then cut to the new length: that keeps the
// file itself (its links and permissions), and spares the file system a truncation to
// zero length, which on some (ext4) first forces the earlier content out to the disk.
// Opening never waits, and only a regular file is written: a FIFO, a device or a folder in
// the way is an error ("not a regular file") and is left alone.
#pragma once

#include "isa/encode.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

class TextFileWriter {
public:
    // Opens (or creates) the file at `path`; failed() tells whether that worked.
    explicit TextFileWriter(const std::string& path);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // The longest piece one line may ask room for at once.
    static constexpr std::size_t max_room = 1024;

    // Makes room for `size` (at most max_room) more characters; the characters, numbers and
    // comments written after it must fit in that room.
    TextFileWriter& room(std::size_t size) {
        if (used_ + size > buffer_.size()) flush();
        return *this;
    }

    // A piece of any length.
    TextFileWriter& operator<<(std::string_view piece) {
        if (piece.size() > buffer_.size() - used_) return write_long(piece);
        used_ =
            static_cast<std::size_t>(std::copy(piece.begin(), piece.end(), at()) - buffer_.data());
        return *this;
    }
    TextFileWriter& operator<<(char c) {
        buffer_[used_++] = c;
        return *this;
    }
    // Upper-case hexadecimal with at least `digits` digits (as "%04X" and "%02X" print).
    TextFileWriter& hex(unsigned value, int digits) {
        static constexpr char figures[] = "0123456789ABCDEF";
        while (digits < 8 && (value >> (4 * digits)) != 0)
            [[unlikely]]++ digits;
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
            buffer_[used_++] = figures[(value >> shift) & 0xF];
        return *this;
    }
    // Decimal, with a minus sign when negative ("%d").
    TextFileWriter& decimal(int value) {
        used_ =
            static_cast<std::size_t>(std::to_chars(at(), at() + 11, value).ptr - buffer_.data());
        return *this;
    }
    // The comment text of byte j of the statement whose comment parts are `parts`.
    TextFileWriter& comment(const isa::CommentParts& parts, int j) {
        used_ = static_cast<std::size_t>(parts.write(at(), j) - buffer_.data());
        return *this;
    }

    // Writes the rest and closes the file; false when anything failed, and then what was
    // written of it is removed.
    bool finish();
    // Why it failed: "not a regular file" or the system's words ("No space left on device").
    const std::string& reason() const { return reason_; }

private:
    char* at() { return buffer_.data() + used_; }
    TextFileWriter& write_long(std::string_view piece);
    void flush();
    void fail(std::string reason);

    std::string path_;
    int fd_ = -1;
    bool failed_ = false;
    std::string reason_;
    std::size_t written_ = 0;
    std::size_t used_ = 0;
    std::array<char, 64 * 1024> buffer_;
};
