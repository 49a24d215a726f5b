// Collects what the assembler prints on its output and error streams while it lives.
#pragma once

#include "assembler/diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <string>

class MessageCapture {
public:
    MessageCapture() : stream_(open_memstream(&text_, &size_)) {
        set_diagnostic_streams(stream_, stream_);
    }
    ~MessageCapture() {
        set_diagnostic_streams(nullptr, nullptr);
        if (stream_ != nullptr) std::fclose(stream_);
        std::free(text_);
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // Everything printed so far.
    std::string text() {
        if (stream_ != nullptr) std::fflush(stream_);
        return text_ != nullptr ? std::string(text_, size_) : std::string();
    }

private:
    char* text_ = nullptr;
    std::size_t size_ = 0;
    FILE* stream_;
};
