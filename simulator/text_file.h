// Text files that a user names: reading one whole, safely (platform/regular_file.h), and
// walking its lines.
#pragma once

#include "platform/regular_file.h"

#include <cstddef>
#include <string_view>

namespace sim {

using platform::FileContents;
using platform::FileRead;
using platform::readRegularFile;

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
