// Linked into a host program: its C++ heap, and through it that of the Qt libraries, goes to
// the shared memory manager, so that objects the module allocates may be destroyed by Qt or
// the host and the other way round. Exported from the program, so these replace the C++
// runtime's operator new and delete for the whole process (the module keeps its own).

#include "platform/sharemem/ShareMem.h"

#include <cstdint>
#include <new>

namespace {

void *allocate(std::size_t size)
{
    for (;;) {
        if (void *block = jxmm_get_mem(size))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void *allocateAligned(std::size_t size, std::align_val_t alignment)
{
    const auto align = static_cast<std::size_t>(alignment);
    if (size > SIZE_MAX - align - sizeof(void *))
        throw std::bad_alloc();
    void *block = allocate(size + align + sizeof(void *));
    char *const start = static_cast<char *>(block) + sizeof(void *);
    const std::size_t past = reinterpret_cast<std::uintptr_t>(start) & (align - 1);
    char *const aligned = past ? start + (align - past) : start;
    reinterpret_cast<void **>(aligned)[-1] = block;
    return aligned;
}

void releaseAligned(void *pointer) noexcept
{
    if (pointer)
        jxmm_free_mem(static_cast<void **>(pointer)[-1]);
}

} // namespace

#define JX_HOST_EXPORT __attribute__((visibility("default")))

JX_HOST_EXPORT void *operator new(std::size_t size)
{
    return allocate(size);
}

JX_HOST_EXPORT void *operator new[](std::size_t size)
{
    return allocate(size);
}

JX_HOST_EXPORT void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return jxmm_get_mem(size);
}

JX_HOST_EXPORT void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return jxmm_get_mem(size);
}

JX_HOST_EXPORT void *operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

JX_HOST_EXPORT void *operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

JX_HOST_EXPORT void *operator new(std::size_t size, std::align_val_t alignment,
                                  const std::nothrow_t &) noexcept
{
    try {
        return allocateAligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

JX_HOST_EXPORT void *operator new[](std::size_t size, std::align_val_t alignment,
                                    const std::nothrow_t &) noexcept
{
    try {
        return allocateAligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

JX_HOST_EXPORT void operator delete(void *block) noexcept
{
    jxmm_free_mem(block);
}

JX_HOST_EXPORT void operator delete[](void *block) noexcept
{
    jxmm_free_mem(block);
}

JX_HOST_EXPORT void operator delete(void *block, const std::nothrow_t &) noexcept
{
    jxmm_free_mem(block);
}

JX_HOST_EXPORT void operator delete[](void *block, const std::nothrow_t &) noexcept
{
    jxmm_free_mem(block);
}

JX_HOST_EXPORT void operator delete(void *block, std::size_t) noexcept
{
    jxmm_free_mem(block);
}

JX_HOST_EXPORT void operator delete[](void *block, std::size_t) noexcept
{
    jxmm_free_mem(block);
}

JX_HOST_EXPORT void operator delete(void *block, std::align_val_t) noexcept
{
    releaseAligned(block);
}

JX_HOST_EXPORT void operator delete[](void *block, std::align_val_t) noexcept
{
    releaseAligned(block);
}

JX_HOST_EXPORT void operator delete(void *block, std::size_t, std::align_val_t) noexcept
{
    releaseAligned(block);
}

JX_HOST_EXPORT void operator delete[](void *block, std::size_t, std::align_val_t) noexcept
{
    releaseAligned(block);
}

JX_HOST_EXPORT void operator delete(void *block, std::align_val_t, const std::nothrow_t &) noexcept
{
    releaseAligned(block);
}

JX_HOST_EXPORT void operator delete[](void *block, std::align_val_t,
                                      const std::nothrow_t &) noexcept
{
    releaseAligned(block);
}
