// A host that ends in one of the orders the module's unload has to survive; run by tst_module.
// Prints "probe: done" once its checks have passed, and fails loudly otherwise.

#include "ModuleHost.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

int fail(const char *what)
{
    std::fprintf(stderr, "probe: FAILED: %s\n", what);
    return 1;
}

void releasePosted()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget *toolIn(QWidget *container)
{
    return container->findChild<QWidget *>(QStringLiteral("frm_Jointrix"));
}

// A host window the "open" mode never destroys: reachable to the end, not a leak.
QWidget *g_keptHostWindow = nullptr;

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return fail("usage: jointrix-unload-probe unload|loaded|open|exit");
    const char *mode = argv[1];

    auto app = std::make_unique<QApplication>(argc, argv);
    app->setObjectName(QStringLiteral("host-application"));
    ModuleHost module;
    if (!module.load())
        return fail(dlerror());

    if (!std::strcmp(mode, "open")) {
        g_keptHostWindow = new QWidget;
        g_keptHostWindow->resize(1023, 738);
        auto *container = new QWidget(g_keptHostWindow);
        g_keptHostWindow->show();
        module.LxToolShow(app.get(), g_keptHostWindow, container);
        QPointer<QWidget> tool = toolIn(container);
        if (!tool)
            return fail("no window shown");
        QCoreApplication::processEvents();
        app.reset();
        if (tool)
            return fail("the window outlived the host's application object");
        std::puts("probe: done");
        return 0;
    }

    QWidget host;
    host.resize(1023, 738);
    auto *container = new QWidget(&host);
    host.show();
    module.LxToolShow(app.get(), &host, container);
    QPointer<QWidget> tool = toolIn(container);
    if (!tool)
        return fail("no window shown");
    QCoreApplication::processEvents();

    if (!std::strcmp(mode, "exit")) {
        std::puts("probe: done");
        std::fflush(stdout);
        std::exit(0);
    }

    module.FreeForm();
    releasePosted();
    if (tool)
        return fail("the window was not released");
    if (!std::strcmp(mode, "unload"))
        module.unload();
    else if (std::strcmp(mode, "loaded") != 0)
        return fail("unknown mode");

    if (QCoreApplication::instance() != app.get()
        || app->objectName() != QStringLiteral("host-application") || !host.isVisible()
        || container->parentWidget() != &host)
        return fail("the host was touched");
    QWidget later(&host);
    later.show();
    QCoreApplication::processEvents();
    std::puts("probe: done");
    return 0;
}
