#include "memory_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {

MemoryFile::MemoryFile(const char* name) : fd_(memfd_create(name, MFD_CLOEXEC)) {
    if (fd_ < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() {
    close(fd_);
}

void MemoryFile::assign(std::span<const std::uint8_t> bytes) {
    if (ftruncate(fd_, 0) != 0) std::abort();
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = pwrite(fd_, bytes.data() + written, bytes.size() - written,
                                 static_cast<off_t>(written));
        if (n <= 0) std::abort();
        written += static_cast<std::size_t>(n);
    }
}

void MemoryFile::assign(const std::string& text) {
    assign({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

InputParts splitAtNul(std::span<const std::uint8_t> input) {
    const auto nul = std::find(input.begin(), input.end(), std::uint8_t{0});
    if (nul == input.end()) return {input, {}};
    const auto at = static_cast<std::size_t>(nul - input.begin());
    return {input.first(at), input.subspan(at + 1)};
}

} // namespace fuzz
