// Building assembler sources in tests.
#pragma once

#include <string>

// `line` written `times` times.
inline std::string repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

// Source lines of exactly `bytes` code bytes: 5-byte `or`s, then 1-byte `nop`s.
inline std::string filler(int bytes) {
    return repeat("    or x, 5\n", bytes / 5) + repeat("    nop\n", bytes % 5);
}
