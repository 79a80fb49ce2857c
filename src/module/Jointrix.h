#pragma once

// The main unit of the plug-in module: what the module does at load and unload, and the two
// exported calls (declared for hosts in "jointrix/jointrix.h").

#include "jointrix/jointrix.h"

// The loaded module: where the loader mapped it and from which file.
struct TModuleInstance
{
    void *base = nullptr;
    const char *path = nullptr;
};

TModuleInstance ModuleInstance();

// The reasons of the loader's notifications, as the unload hook receives them.
enum TEntryReason : int {
    ProcessDetach = 0,
    ProcessAttach = 1,
};

using TUnloadHook = void (*)(int reason);
