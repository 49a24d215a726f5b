// How an include line's file name becomes the path that is opened. The separator is '/';
// a backslash written in an include name is taken as '/' too, and "../" parts climb one
// directory level each.
#pragma once

#include <string>
#include <string_view>

inline constexpr char sep_char = '/';

// The directory part of `file`: the text before its last separator, "" when it has none.
std::string directory_of(std::string_view file);

// `directory` joined with `name` by one separator; `name` alone when `directory` is "".
std::string join_path(std::string_view directory, std::string_view name);

// The name resolved against `directory`, each leading "../" of `name` taking one
// directory level off (above the working directory it becomes "..", above "/" it stays "/").
std::string remove_parts(std::string_view directory, std::string_view name);

// The path of `#include "name"` written in `current_file`: absolute names (beginning with
// a separator) as they are, others relative to the directory of `current_file`.
std::string quoted_include_path(std::string_view current_file, std::string_view name);

// The path of `#include <name>`: the directory "lib" below `exe_path`.
std::string angle_include_path(std::string_view exe_path, std::string_view name);
