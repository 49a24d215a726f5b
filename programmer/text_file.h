// Reading the small text files the programmer link uses (.hex, .epr, the firmware file): only
// regular files, and only up to a size bound, so that a path to a device or a FIFO can neither
// hang nor exhaust anything.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace programmer {

inline constexpr std::size_t text_file_limit = std::size_t{8} << 20; // 8 MiB

// The whole file, or nothing when it is missing, not a regular file, larger than `limit` or
// unreadable.
std::optional<std::string> readTextFile(const std::string& path,
                                        std::size_t limit = text_file_limit);

// Takes the next line off `text`, with its line end ("\n") if it has one.
std::string_view takeLine(std::string_view& text);

} // namespace programmer
