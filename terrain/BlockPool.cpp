// The block pool: a free list threaded through released blocks, the heap
// for the rest, and the allowance that lets tests run out of memory.
#include "terrain/BlockPool.h"

#include <cstdlib>
#include <new>

BlockPool::BlockPool(std::size_t blockSize)
    : blockSize_(blockSize < sizeof(FreeNode) ? sizeof(FreeNode) : blockSize)
{
}

BlockPool::~BlockPool()
{
    trim();
}

void* BlockPool::allocate(std::size_t size) noexcept
{
    if (size == blockSize_ && head_ != nullptr) {
        FreeNode* node = head_;
        head_ = node->next;
        --cached_;
        return node;
    }
    if (heapAllowance_ == 0)
        return nullptr;
    if (heapAllowance_ != static_cast<std::size_t>(-1))
        --heapAllowance_;
    return std::malloc(size < sizeof(FreeNode) ? sizeof(FreeNode) : size);
}

void BlockPool::release(void* block, std::size_t size) noexcept
{
    if (block == nullptr)
        return;
    if (size != blockSize_) {
        std::free(block);
        return;
    }
    head_ = new (block) FreeNode{head_};
    ++cached_;
}

void BlockPool::trim() noexcept
{
    while (head_ != nullptr) {
        FreeNode* node = head_;
        head_ = node->next;
        std::free(node);
    }
    cached_ = 0;
}
