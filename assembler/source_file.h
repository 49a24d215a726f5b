// Reading source files: only regular files, each whole, of a bounded size. Opening never
// waits, so a FIFO or a device named as a source is refused at once, not read forever.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// The text of one source file, with each CR LF line end turned into LF (as a text-mode
// stream reads it), followed by room for the scanner's two end marks (NUL bytes).
class SourceText {
public:
    // A copy of `text`, for a source held in memory; empty when memory runs out.
    static std::optional<SourceText> of(std::string_view text);

    char* data() { return buffer_.get(); }
    std::size_t size() const { return size_; }
    // The text and its end marks, as the scanner takes them.
    std::size_t size_with_end_marks() const { return size_ + end_marks; }

    // Identity of the file it was read from (0 for text held in memory), so that one file
    // reached through differently written paths is still recognised.
    dev_t device = 0;
    ino_t inode = 0;

    static constexpr std::size_t end_marks = 2;

private:
    friend std::optional<SourceText> read_source(const std::string&, std::size_t, int&);
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
};

// The largest source: the main file and every file it includes, together. A KZ71 program
// holds at most 8143 bytes of code; this leaves any amount of comment and layout room.
inline constexpr std::size_t max_source_size = 64 * 1024 * 1024;

// Reads the regular file at `path`, of at most `limit` bytes. When it cannot, `error` holds
// the reason as an errno value: the system's own when the file cannot be opened or read,
// EISDIR for a directory, ENOTSUP for anything else that is not a regular file (a FIFO, a
// device, a socket), EFBIG for a file of more than `limit` bytes, ENOMEM when there is no
// memory for its text.
std::optional<SourceText> read_source(const std::string& path, std::size_t limit, int& error);
