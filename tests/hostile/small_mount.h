// A small tmpfs mounted for one test: a disk that fills up, or one made read-only after the
// test has put its files there. Only where the test may mount (root in the container or on
// CI); otherwise `mounted()` is false and `why()` says why, so the test can skip with it.
#pragma once

#include <filesystem>
#include <string>

class SmallMount {
public:
    SmallMount(const std::filesystem::path& folder, std::size_t bytes);
    ~SmallMount();
    SmallMount(const SmallMount&) = delete;
    SmallMount& operator=(const SmallMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    // Remounts it read-only: nothing in it can be written or created any more, even by root.
    bool makeReadOnly();

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
    std::string why_;
};
