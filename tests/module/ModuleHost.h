#pragma once

// What a host needs of the module, as a test host loads it: dlopen and dlsym only.

#include "jointrix/jointrix.h"

#include <dlfcn.h>

struct ModuleHost
{
    void *handle = nullptr;
    JxLxToolShowFunc LxToolShow = nullptr;
    JxFreeFormFunc FreeForm = nullptr;

    bool load()
    {
        handle = dlopen(JOINTRIX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return false;
        LxToolShow = reinterpret_cast<JxLxToolShowFunc>(dlsym(handle, "LxToolShow"));
        FreeForm = reinterpret_cast<JxFreeFormFunc>(dlsym(handle, "FreeForm"));
        return LxToolShow && FreeForm;
    }

    template<typename Function> Function resolve(const char *name) const
    {
        return reinterpret_cast<Function>(dlsym(handle, name));
    }

    void unload()
    {
        if (handle)
            dlclose(handle);
        handle = nullptr;
        LxToolShow = nullptr;
        FreeForm = nullptr;
    }
};
