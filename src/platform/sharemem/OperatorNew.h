#pragma once

#include "platform/sharemem/AlignedBlock.h"

#include <cstddef>
#include <cstdint>
#include <new>

// The whole set of replaceable operator new and delete, over one pair of functions: `GetMem`
// gives a block (null when there is no memory) and `FreeMem` takes one back (never null). The
// module routes its own set to whatever manager it was given, a host program its set to the
// shared manager; both keep the standard's rules: the new handler is tried before bad_alloc,
// the nothrow forms return null, aligned blocks are placed in over-allocated ones.
namespace jxmm {

template<void *(*GetMem)(std::size_t), void (*FreeMem)(void *)> struct Heap
{
    static void *allocate(std::size_t size)
    {
        for (;;) {
            if (void *block = GetMem(size))
                return block;
            std::new_handler handler = std::get_new_handler();
            if (!handler)
                throw std::bad_alloc();
            handler();
        }
    }

    static void *allocate(std::size_t size, const std::nothrow_t &) noexcept
    {
        try {
            return allocate(size);
        } catch (...) {
            return nullptr;
        }
    }

    static void *allocate(std::size_t size, std::align_val_t alignment)
    {
        const auto align = static_cast<std::size_t>(alignment);
        if (size > SIZE_MAX - align - sizeof(void *))
            throw std::bad_alloc();
        return placeAligned(allocate(alignedBlockSize(size, align)), size, align);
    }

    static void *allocate(std::size_t size, std::align_val_t alignment,
                          const std::nothrow_t &) noexcept
    {
        try {
            return allocate(size, alignment);
        } catch (...) {
            return nullptr;
        }
    }

    static void release(void *block) noexcept
    {
        if (block)
            FreeMem(block);
    }

    static void releaseAligned(void *area) noexcept
    {
        if (area)
            FreeMem(blockOf(area));
    }
};

} // namespace jxmm

// Defines all twenty operators over `heap` (a jxmm::Heap), each with `attributes` in
// front (the visibility a host's set needs). A definition cannot be written by a template,
// so the set is spelled out here once.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define JXMM_DEFINE_OPERATORS(attributes, heap)                                                    \
    attributes void *operator new(std::size_t size)                                                \
    {                                                                                              \
        return heap::allocate(size);                                                               \
    }                                                                                              \
    attributes void *operator new[](std::size_t size)                                              \
    {                                                                                              \
        return heap::allocate(size);                                                               \
    }                                                                                              \
    attributes void *operator new(std::size_t size, const std::nothrow_t &tag) noexcept            \
    {                                                                                              \
        return heap::allocate(size, tag);                                                          \
    }                                                                                              \
    attributes void *operator new[](std::size_t size, const std::nothrow_t &tag) noexcept          \
    {                                                                                              \
        return heap::allocate(size, tag);                                                          \
    }                                                                                              \
    attributes void *operator new(std::size_t size, std::align_val_t alignment)                    \
    {                                                                                              \
        return heap::allocate(size, alignment);                                                    \
    }                                                                                              \
    attributes void *operator new[](std::size_t size, std::align_val_t alignment)                  \
    {                                                                                              \
        return heap::allocate(size, alignment);                                                    \
    }                                                                                              \
    attributes void *operator new(std::size_t size, std::align_val_t alignment,                    \
                                  const std::nothrow_t &tag) noexcept                              \
    {                                                                                              \
        return heap::allocate(size, alignment, tag);                                               \
    }                                                                                              \
    attributes void *operator new[](std::size_t size, std::align_val_t alignment,                  \
                                    const std::nothrow_t &tag) noexcept                            \
    {                                                                                              \
        return heap::allocate(size, alignment, tag);                                               \
    }                                                                                              \
    attributes void operator delete(void *block) noexcept                                          \
    {                                                                                              \
        heap::release(block);                                                                      \
    }                                                                                              \
    attributes void operator delete[](void *block) noexcept                                        \
    {                                                                                              \
        heap::release(block);                                                                      \
    }                                                                                              \
    attributes void operator delete(void *block, const std::nothrow_t &) noexcept                  \
    {                                                                                              \
        heap::release(block);                                                                      \
    }                                                                                              \
    attributes void operator delete[](void *block, const std::nothrow_t &) noexcept                \
    {                                                                                              \
        heap::release(block);                                                                      \
    }                                                                                              \
    attributes void operator delete(void *block, std::size_t) noexcept                             \
    {                                                                                              \
        heap::release(block);                                                                      \
    }                                                                                              \
    attributes void operator delete[](void *block, std::size_t) noexcept                           \
    {                                                                                              \
        heap::release(block);                                                                      \
    }                                                                                              \
    attributes void operator delete(void *block, std::align_val_t) noexcept                        \
    {                                                                                              \
        heap::releaseAligned(block);                                                               \
    }                                                                                              \
    attributes void operator delete[](void *block, std::align_val_t) noexcept                      \
    {                                                                                              \
        heap::releaseAligned(block);                                                               \
    }                                                                                              \
    attributes void operator delete(void *block, std::size_t, std::align_val_t) noexcept           \
    {                                                                                              \
        heap::releaseAligned(block);                                                               \
    }                                                                                              \
    attributes void operator delete[](void *block, std::size_t, std::align_val_t) noexcept         \
    {                                                                                              \
        heap::releaseAligned(block);                                                               \
    }                                                                                              \
    attributes void operator delete(void *block, std::align_val_t,                                 \
                                    const std::nothrow_t &) noexcept                               \
    {                                                                                              \
        heap::releaseAligned(block);                                                               \
    }                                                                                              \
    attributes void operator delete[](void *block, std::align_val_t,                               \
                                      const std::nothrow_t &) noexcept                             \
    {                                                                                              \
        heap::releaseAligned(block);                                                               \
    }
// NOLINTEND(bugprone-macro-parentheses)
