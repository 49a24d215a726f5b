// Names and file names that records, symbols and the scanner hold for the whole run.
// Every text is copied once and stays at the same address until the store is cleared.
#pragma once

#include <string_view>

// Returns a stable, NUL-terminated copy of `text`.
const char* keep_text(std::string_view text);

// Releases every kept text (start of a new run).
void clear_text_store();
