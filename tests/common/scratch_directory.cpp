#include "scratch_directory.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

std::string read_whole_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "kz71-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = fs::canonical(pattern);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ScratchDirectory::write(const std::string& name, const std::string& content) const {
    fs::path file = path_ / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

std::string ScratchDirectory::read(const std::string& name) const {
    return read_whole_file(path_ / name);
}

bool ScratchDirectory::exists(const std::string& name) const {
    return fs::exists(path_ / name);
}
