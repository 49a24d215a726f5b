// Reading a file that a user or a setting names: only a regular file (or a link to one), and
// only up to a size bound. The file is opened without waiting and then checked on the open
// descriptor, so a FIFO, a device such as /dev/zero or a folder is refused at once, and a file
// swapped between a check and the open cannot slip through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class FileRead : std::uint8_t {
    ok,
    missing,     // nothing of that name
    not_regular, // a folder, FIFO, device or socket
    too_large,   // more than the bound
    unreadable,  // the system refused (reason says why)
};

struct FileContents {
    FileRead status = FileRead::ok;
    std::string text;   // the whole file when ok, else empty
    std::string reason; // the system's words when unreadable
};

FileContents readRegularFile(const std::string& path, std::size_t max_size);

} // namespace platform
