#include "module/Jointrix.h"

#include "module/CrashCalls.h"
#include "module/MemoryManager.h"
#include "platform/application/Application.h"
#include "platform/application/Lifetime.h"
#include "ui/U_Main.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <dlfcn.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

class TWindowOwner;

// What the host's size control has beyond the tool: the tool takes its size less this margin,
// the room a host keeps for its own frame, caption and bars around the container.
constexpr QSize SizeControlMargin(199, 122);

// Module-wide values that hold Qt objects. Allocated on the first show and released by the Qt
// clean-up while a QApplication still exists; a global with a destructor would run when Qt is
// gone.
struct TModuleState
{
    QPointer<Tfrm_Jointrix> window; // the window reference: the newest window
    std::vector<TWindowOwner *> owners;
};

// Plain values only at namespace scope: nothing here is destroyed at exit.
TModuleInstance g_instance;
TApplication *g_savedApplication = nullptr;
TUnloadHook g_unloadHook = nullptr;
TModuleState *g_state = nullptr;

TModuleState &state()
{
    if (!g_state)
        g_state = new TModuleState;
    return *g_state;
}

// Makes the window owned by an application object that is a foreign QObject, not the window's
// parent widget: a child of that object that destroys the window with it. It goes away with
// the window, so a window already destroyed with its container is never destroyed again.
class TWindowOwner final : public QObject
{
public:
    TWindowOwner(QWidget *window, QObject *application)
        : QObject(application)
        , m_window(window)
    {
        setObjectName(QStringLiteral("jointrix-window-owner"));
        // The window emits destroyed() before its QPointers clear, so drop it first.
        m_windowGone = connect(window, &QObject::destroyed, this, [this] {
            m_window = nullptr;
            delete this;
        });
        state().owners.push_back(this);
    }

    ~TWindowOwner() override
    {
        if (g_state)
            std::erase(g_state->owners, this);
        disconnect(m_windowGone);
        delete m_window.data();
    }

private:
    QPointer<QWidget> m_window;
    QMetaObject::Connection m_windowGone;
};

void unloadHook(int reason)
{
    if (reason == ProcessDetach)
        SetApplication(g_savedApplication);
}

// The framework's clean-up of the module's Qt objects, run by the module-lifetime owner from
// the destruction of the QApplication, first thing in it: the windows the host left open and
// the module's references (here), the form loader and the shared prompt box (their own
// libraries'), then the module's own application object (below).
void releaseWindows()
{
    // The current application object must be the module's own again before anything is
    // destroyed, or the clean-up would destroy the host's.
    if (g_unloadHook)
        g_unloadHook(ProcessDetach);

    if (g_state) {
        // An owner leaves the list when it goes, and a window going may take another window's
        // owner with it: always delete the last one still listed.
        while (!g_state->owners.empty())
            delete g_state->owners.back();
        delete g_state;
        g_state = nullptr;
    }
}

void releaseApplication()
{
    // Never anyone else's object, whatever the current one is.
    if (Application() && Application() == ModuleApplication())
        delete ModuleApplication();
    SetModuleApplication(nullptr);
    SetApplication(nullptr);
    g_savedApplication = nullptr;
}

// Sets the module's stages of the clean-up; again after a clean-up, for a host that destroyed
// its QApplication and made another one.
void armCleanup()
{
    lifetime::atRelease(lifetime::Stage::Windows, releaseWindows);
    lifetime::atRelease(lifetime::Stage::Application, releaseApplication);
}

// Process attach. Runs before every other initialiser of the module.
__attribute__((constructor(101))) void moduleAttach()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void *>(&moduleAttach), &info)) {
        g_instance.base = info.dli_fbase;
        g_instance.path = info.dli_fname;
    }

    // Dependency order: the heap before anything allocates.
    HookSharedMemoryManager();
    InitCrashLog();
    SetModuleApplication(new TApplication);
    SetApplication(ModuleApplication());

    g_savedApplication = ModuleApplication();
    g_unloadHook = unloadHook;
    armCleanup();
}

// Process detach. The module is never unmapped (-z nodelete), so this runs at process exit
// only. By then the QApplication has normally been destroyed and the Qt clean-up has run; if it
// has not (the host exited with its QApplication alive), Qt's own globals are being torn down
// and the module's Qt objects are left to the process's end rather than touched now.
__attribute__((destructor(101))) void moduleDetach()
{
    if (g_unloadHook)
        g_unloadHook(ProcessDetach);
}

} // namespace

TModuleInstance ModuleInstance()
{
    return g_instance;
}

extern "C" {

void LxToolShow(QObject *application, QWidget *sizeControl, QWidget *container)
{
    armCleanup();
    SetApplication(application);

    auto window = std::make_unique<Tfrm_Jointrix>();
    new TWindowOwner(window.get(), application);
    state().window = window.release();
    Tfrm_Jointrix *const shown = state().window;

    container->winId();
    // A plain child widget: no frame, no caption, inside the container's client area.
    shown->setParent(container, Qt::Widget);
    shown->move(0, 0);
    shown->resize(std::max(0, sizeControl->width() - SizeControlMargin.width()),
                  std::max(0, sizeControl->height() - SizeControlMargin.height()));
    shown->show();
}

void FreeForm()
{
    if (g_state && g_state->window)
        g_state->window->close();
}

} // extern "C"
