#include "platform/application/Application.h"

namespace {

// Plain pointers: nothing to destroy at exit, when Qt may be gone already.
QObject *g_current = nullptr;
TApplication *g_own = nullptr;

} // namespace

TApplication::TApplication(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("Application"));
}

TApplication::~TApplication()
{
    if (g_own == this)
        g_own = nullptr;
    if (g_current == this)
        g_current = nullptr;
}

QObject *Application()
{
    return g_current;
}

void SetApplication(QObject *application)
{
    g_current = application;
}

TApplication *ModuleApplication()
{
    return g_own;
}

void SetModuleApplication(TApplication *application)
{
    g_own = application;
}
