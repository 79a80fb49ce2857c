#pragma once

#include <cstddef>
#include <memory>

// The shared manager knows no alignment. An aligned block is over-allocated by `alignment`
// plus one pointer, and keeps the address of the block it lies in, in the word before it.
namespace jxmm {

inline constexpr std::size_t alignedBlockSize(std::size_t size, std::size_t alignment)
{
    return size + alignment + sizeof(void *);
}

// Places an aligned area of `size` bytes in `block` (of alignedBlockSize() bytes).
inline void *placeAligned(void *block, std::size_t size, std::size_t alignment)
{
    void *area = static_cast<char *>(block) + sizeof(void *);
    std::size_t space = size + alignment;
    std::align(alignment, size, area, space);
    static_cast<void **>(area)[-1] = block;
    return area;
}

// The block an aligned area was placed in.
inline void *blockOf(void *area)
{
    return static_cast<void **>(area)[-1];
}

} // namespace jxmm
