#include "assembler/text_store.h"

#include <algorithm>
#include <new>

namespace {
constexpr std::size_t block_size = 32 * 1024;
} // namespace

const char* TextStore::keep_text(std::string_view text) {
    const std::size_t needed = text.size() + 1;
    char* copy = nullptr;
    try {
        if (needed > block_size / 4) { // a long text gets a block of its own
            blocks_.reserve(blocks_.size() + 1);
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(needed));
            copy = blocks_.back().get();
        } else {
            if (needed > room_) {
                blocks_.reserve(blocks_.size() + 1);
                blocks_.push_back(std::make_unique_for_overwrite<char[]>(block_size));
                free_ = blocks_.back().get();
                room_ = block_size;
            }
            copy = free_;
            free_ += needed;
            room_ -= needed;
        }
    } catch (const std::bad_alloc&) {
        std::fputs("out of space\n", diag_.err());
        diag_.request_stop(Stop::abnormal);
        return "";
    }
    std::copy(text.begin(), text.end(), copy);
    copy[text.size()] = '\0';
    return copy;
}
