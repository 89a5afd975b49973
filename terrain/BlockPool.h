// The fixed-size block allocator behind triangles and vertices; the two
// process-wide pools themselves are made in terrain/ModelLists.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

// Allocator of fixed-size blocks. Released blocks of the pool's own size are
// kept on a last-in-first-out free list and handed out again before the
// general heap is asked; blocks of any other size go straight to and from the
// heap. The free list is threaded through the released blocks themselves.
class BlockPool {
public:
    explicit BlockPool(std::size_t blockSize);
    virtual ~BlockPool();  // gives every cached block back to the heap

    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    // A block of `size` bytes, or null when the heap is exhausted.
    void* allocate(std::size_t size) noexcept;
    // Returns a block taken with allocate(size).
    void release(void* block, std::size_t size) noexcept;

    std::size_t blockSize() const { return blockSize_; }
    // Number of blocks waiting on the free list.
    std::size_t cachedBlocks() const { return cached_; }
    // Gives every cached block back to the heap.
    void trim() noexcept;

    // From now on at most `blocks` more blocks are taken from the heap; once
    // they are used up allocate returns null as on an exhausted heap. Lets
    // the out-of-memory paths of the model be exercised. Unlimited by default.
    void limitHeapBlocks(std::size_t blocks) { heapAllowance_ = blocks; }
    void unlimitHeapBlocks() { heapAllowance_ = static_cast<std::size_t>(-1); }

private:
    struct FreeNode {
        FreeNode* next;
    };
    FreeNode* head_ = nullptr;
    std::size_t blockSize_;
    std::size_t cached_ = 0;
    std::size_t heapAllowance_ = static_cast<std::size_t>(-1);
};
