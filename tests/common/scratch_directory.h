// A scratch directory for tests, removed again when the test is done.
#pragma once

#include <filesystem>
#include <string>

// The whole content of a file, or "" when it cannot be read.
std::string read_whole_file(const std::filesystem::path& path);

// A fresh empty directory, removed again by the destructor.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `content` to the file `name` below the directory (creating folders).
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::filesystem::path path_;
};
