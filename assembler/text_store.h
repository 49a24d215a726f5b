// Names and file names that records, symbols and the scanner hold for the whole assembly.
// Every text is copied once, NUL-terminated, into large blocks, and stays at the same
// address as long as the store.
#pragma once

#include "assembler/diagnostics.h"

#include <memory>
#include <string_view>
#include <vector>

class TextStore {
public:
    explicit TextStore(Diagnostics& diag) : diag_(diag) {}
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;

    // A stable, NUL-terminated copy of `text`. When memory runs out, "out of space" is
    // printed on the error output, the run is stopped abnormally and "" is returned.
    const char* keep_text(std::string_view text);

private:
    Diagnostics& diag_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr; // the unused rest of the last ordinary block
    std::size_t room_ = 0;
};
