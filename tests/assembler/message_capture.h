// A stream that collects what the assembler prints on it, for handing to an Assembly or to
// run_tarn as its output and error streams.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

class MessageCapture {
public:
    MessageCapture() : stream_(open_memstream(&text_, &size_)) {}
    ~MessageCapture() {
        if (stream_ != nullptr) std::fclose(stream_);
        std::free(text_);
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    FILE* stream() const { return stream_; }

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
