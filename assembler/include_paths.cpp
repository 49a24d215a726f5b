#include "assembler/include_paths.h"

#include <algorithm>

namespace {

constexpr std::string_view parent_part = "../";

std::string with_forward_slashes(std::string_view name) {
    std::string result(name);
    std::replace(result.begin(), result.end(), '\\', sep_char);
    return result;
}

bool ends_with_parent(std::string_view directory) {
    return directory == ".." || directory.ends_with("/..");
}

std::string parent_directory(std::string_view directory) {
    if (directory.empty() || directory == ".") return "..";
    if (ends_with_parent(directory)) return std::string(directory) + "/..";
    std::size_t last = directory.rfind(sep_char);
    if (last == std::string_view::npos) return "";
    if (last == 0) return "/";
    return std::string(directory.substr(0, last));
}

} // namespace

std::string directory_of(std::string_view file) {
    std::size_t last = file.rfind(sep_char);
    return last == std::string_view::npos ? std::string() : std::string(file.substr(0, last));
}

std::string join_path(std::string_view directory, std::string_view name) {
    if (directory.empty()) return std::string(name);
    std::string path(directory);
    if (!path.ends_with(sep_char)) path += sep_char;
    return path + std::string(name);
}

std::string remove_parts(std::string_view directory, std::string_view name) {
    std::string dir(directory);
    while (name.starts_with(parent_part)) {
        dir = parent_directory(dir);
        name.remove_prefix(parent_part.size());
    }
    return join_path(dir, name);
}

std::string quoted_include_path(std::string_view current_file, std::string_view name) {
    std::string clean = with_forward_slashes(name);
    if (clean.starts_with(sep_char)) return clean;
    return remove_parts(directory_of(current_file), clean);
}

std::string angle_include_path(std::string_view exe_path, std::string_view name) {
    return join_path(join_path(exe_path, "lib"), with_forward_slashes(name));
}
