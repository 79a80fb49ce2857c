#pragma once

#include <cstddef>

// The module's heap. The module's own operator new and delete (every form, kept inside the
// module) allocate through the installed manager; until the module's load installs the shared
// one, that is the C heap.

struct TMemoryManager
{
    void *(*GetMem)(std::size_t size) = nullptr;
    void (*FreeMem)(void *block) = nullptr;
    void *(*ReallocMem)(void *block, std::size_t size) = nullptr;
};

TMemoryManager GetMemoryManager();
// Installs `manager`; one with a missing entry is refused and false returned.
bool SetMemoryManager(const TMemoryManager &manager);
// True once a manager other than the starting C heap has been installed.
bool IsMemoryManagerSet();

// Routes the module's heap to the shared memory-manager library, looking its three entries up
// by name, unless a manager is installed already. False when one is installed already or the
// library lacks an entry; the module then keeps the manager it has.
bool HookSharedMemoryManager();
