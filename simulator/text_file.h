// Text files that a user names: reading one whole, safely, and walking its lines. Only a regular
// file (or a link to one) is opened, and no more than a size bound is read: a FIFO, a device
// such as /dev/zero or a folder is refused before it is opened, so nothing can hang or flood
// the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

enum class FileRead : std::uint8_t {
    ok,
    missing,     // nothing of that name
    not_regular, // a folder, FIFO, device or socket
    too_large,   // more than the bound
    unreadable,  // the system refused (reason says why)
};

struct FileContents {
    FileRead status = FileRead::ok;
    std::string text;   // the whole file when ok
    std::string reason; // the system's words when unreadable
};

FileContents readRegularFile(const std::string& path, std::size_t max_size);

// The lines of a text without their line ends (CR LF or LF), numbered from 1.
class TextLines {
public:
    explicit TextLines(std::string_view text) : text_(text) {}

    bool next(std::string_view& line);
    int number() const { return number_; } // of the line next() gave last

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

} // namespace sim
