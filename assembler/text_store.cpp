#include "assembler/text_store.h"

#include <deque>
#include <string>

namespace {
// A deque never moves its elements, so the character data of each string keeps its address.
std::deque<std::string> texts;
} // namespace

const char* keep_text(std::string_view text) {
    return texts.emplace_back(text).c_str();
}

void clear_text_store() {
    texts.clear();
}
