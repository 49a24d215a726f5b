// Records that live as long as their arena, allocated in blocks that double from
// `first_block` up to `largest_block` records: one allocation per block instead of one per
// record, memory touched only as records are made, and no record ever moves.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

template <typename T, std::size_t first_block = 256, std::size_t largest_block = 8192>
class Arena {
    static_assert(std::is_trivially_destructible_v<T>, "records are never destroyed one by one");

public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena() {
        for (const Block& block : blocks_)
            std::allocator<T>().deallocate(block.records, block.capacity);
    }

    // A copy of `values` in the arena, or null when memory runs out.
    T* make(const T& values) noexcept {
        if (used_ == capacity_ && !grow()) return nullptr;
        return new (blocks_.back().records + used_++) T(values);
    }

private:
    struct Block {
        T* records;
        std::size_t capacity;
    };

    bool grow() noexcept {
        const std::size_t capacity = capacity_ == 0              ? first_block
                                     : capacity_ < largest_block ? 2 * capacity_
                                                                 : largest_block;
        try {
            blocks_.reserve(blocks_.size() + 1);
            blocks_.push_back({std::allocator<T>().allocate(capacity), capacity});
        } catch (const std::bad_alloc&) {
            return false;
        }
        capacity_ = capacity;
        used_ = 0;
        return true;
    }

    std::vector<Block> blocks_;
    std::size_t capacity_ = 0; // of the last block
    std::size_t used_ = 0;     // records made in the last block
};
