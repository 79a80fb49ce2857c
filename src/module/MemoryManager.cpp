#include "module/MemoryManager.h"

#include "platform/sharemem/OperatorNew.h"
#include "platform/sharemem/ShareMem.h"

#include <dlfcn.h>

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

void *managerGetMem(std::size_t size)
{
    return g_manager.GetMem(size);
}

void managerFreeMem(void *block)
{
    g_manager.FreeMem(block);
}

using ModuleHeap = jxmm::Heap<managerGetMem, managerFreeMem>;

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
JXMM_DEFINE_OPERATORS(, ModuleHeap)
