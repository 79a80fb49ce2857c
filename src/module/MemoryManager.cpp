#include "module/MemoryManager.h"

#include "platform/sharemem/ShareMem.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

void *cGetMem(std::size_t size)
{
    return std::malloc(size == 0 ? 1 : size);
}

void cFreeMem(void *block)
{
    std::free(block);
}

void *cReallocMem(void *block, std::size_t size)
{
    return std::realloc(block, size);
}

// Constant-initialised, so it is in place before any code of the module runs.
constinit TMemoryManager g_manager {cGetMem, cFreeMem, cReallocMem};

void *allocate(std::size_t size)
{
    for (;;) {
        if (void *block = g_manager.GetMem(size))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void *allocateNoThrow(std::size_t size) noexcept
{
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

void release(void *block) noexcept
{
    if (block)
        g_manager.FreeMem(block);
}

// The manager knows no alignment: over-allocate and keep the block's own address in the word
// before the aligned pointer.
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

void *allocateAlignedNoThrow(std::size_t size, std::align_val_t alignment) noexcept
{
    try {
        return allocateAligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

void releaseAligned(void *pointer) noexcept
{
    if (pointer)
        release(static_cast<void **>(pointer)[-1]);
}

} // namespace

TMemoryManager GetMemoryManager()
{
    return g_manager;
}

bool SetMemoryManager(const TMemoryManager &manager)
{
    if (!manager.GetMem || !manager.FreeMem || !manager.ReallocMem)
        return false;
    g_manager = manager;
    return true;
}

bool IsMemoryManagerSet()
{
    return g_manager.GetMem != cGetMem || g_manager.FreeMem != cFreeMem
        || g_manager.ReallocMem != cReallocMem;
}

bool HookSharedMemoryManager()
{
    if (IsMemoryManagerSet())
        return false;
    // The module imports jxmm_get_mem, so the loader has loaded the library before the module;
    // its address names the library to look the three entries up in.
    Dl_info info {};
    if (!dladdr(reinterpret_cast<void *>(&jxmm_get_mem), &info) || !info.dli_fname)
        return false;
    void *library = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return false;
    TMemoryManager shared;
    shared.GetMem = reinterpret_cast<void *(*)(std::size_t)>(dlsym(library, "jxmm_get_mem"));
    shared.FreeMem = reinterpret_cast<void (*)(void *)>(dlsym(library, "jxmm_free_mem"));
    shared.ReallocMem
        = reinterpret_cast<void *(*)(void *, std::size_t)>(dlsym(library, "jxmm_realloc_mem"));
    // Only drops the reference RTLD_NOLOAD took; the module's import keeps the library loaded.
    dlclose(library);
    return SetMemoryManager(shared);
}

// The module's own operator new and delete. <new> declares them with default visibility,
// which a definition cannot change; the module's version script makes them local instead, so
// the linker binds the module's calls to these and the host never sees them.

void *operator new(std::size_t size)
{
    return allocate(size);
}

void *operator new[](std::size_t size)
{
    return allocate(size);
}

void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return allocateNoThrow(size);
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return allocateNoThrow(size);
}

void *operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

void *operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

void *operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept
{
    return allocateAlignedNoThrow(size, alignment);
}

void *operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept
{
    return allocateAlignedNoThrow(size, alignment);
}

void operator delete(void *block) noexcept
{
    release(block);
}

void operator delete[](void *block) noexcept
{
    release(block);
}

void operator delete(void *block, const std::nothrow_t &) noexcept
{
    release(block);
}

void operator delete[](void *block, const std::nothrow_t &) noexcept
{
    release(block);
}

void operator delete(void *block, std::size_t) noexcept
{
    release(block);
}

void operator delete[](void *block, std::size_t) noexcept
{
    release(block);
}

void operator delete(void *block, std::align_val_t) noexcept
{
    releaseAligned(block);
}

void operator delete[](void *block, std::align_val_t) noexcept
{
    releaseAligned(block);
}

void operator delete(void *block, std::size_t, std::align_val_t) noexcept
{
    releaseAligned(block);
}

void operator delete[](void *block, std::size_t, std::align_val_t) noexcept
{
    releaseAligned(block);
}

void operator delete(void *block, std::align_val_t, const std::nothrow_t &) noexcept
{
    releaseAligned(block);
}

void operator delete[](void *block, std::align_val_t, const std::nothrow_t &) noexcept
{
    releaseAligned(block);
}
