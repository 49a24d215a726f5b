// Reading and writing the files the IDE keeps or is pointed at. Only regular files are read,
// and only up to a size bound: a path may name a FIFO, a device such as /dev/zero, a folder or
// a file far too large to hold, and none of them may hang the program or fill its memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace files {

enum class ReadStatus {
    ok,
    missing,    // nothing exists under the path
    notRegular, // a folder, FIFO, device or socket (links are followed)
    tooLarge,   // more bytes than the bound allows
    unreadable, // exists, but cannot be opened or read
};

struct ReadResult {
    ReadStatus status = ReadStatus::missing;
    std::string bytes; // the whole file when status is ok, else empty
};

// Reads the regular file at `path` when it holds at most `limit` bytes.
ReadResult readRegularFile(const std::string& path, std::size_t limit);

// Replaces the file at `path` with `bytes`: written to a temporary file beside it and renamed
// over it, so a failed write leaves the old content whole. A symbolic link stays a link; the
// file it points to is replaced, keeping its permissions. False when the file could not be
// written: a folder or other non-file is in the way, the file is read-only to us, or the
// folder does not take the new file.
bool replaceFile(const std::string& path, std::string_view bytes);

} // namespace files
