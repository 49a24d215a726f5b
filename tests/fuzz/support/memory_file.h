// A fuzz input as a file: the readers under test take paths, so each input is put into a file
// that lives in memory only (memfd) and is named through /proc/self/fd. Replacing its content
// costs no disk access, and nothing is left behind when the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fuzz {

class MemoryFile {
public:
    explicit MemoryFile(const char* name);
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the whole content.
    void assign(std::span<const std::uint8_t> bytes);
    void assign(const std::string& text);
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

// The input split in two at its first NUL byte (the second part empty when there is none), so
// that one input can feed two files, e.g. a .dbg and a .hex file.
struct InputParts {
    std::span<const std::uint8_t> first;
    std::span<const std::uint8_t> second;
};
InputParts splitAtNul(std::span<const std::uint8_t> input);

} // namespace fuzz
