// A host outside the Jointrix tree, built against an installed Jointrix alone: with its CMake
// package (CMakeLists.txt) or with pkg-config (pkg-config.mk). It loads the installed module
// as a host does, shows the tool offscreen, presses Calculate and checks the report; exit 0
// when the installed files give what the tree's own host gets.

#include "jointrix/jointrix.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTextEdit>

#include <dlfcn.h>

#include <cstdio>

#ifndef JOINTRIX_MODULE
#error "JOINTRIX_MODULE must name the installed module"
#endif

namespace {

// The report of the window's starting values (single-sided fillet, E43, hf 10, Lf 1000), each
// line ended by its line break.
const char16_t DefaultReport[] = u"单边角焊缝连接计算：\n"
                                 u"设计抗拉荷载：F=160×10×1000=1600kN；\n"
                                 u"设计抗压荷载：N=160×10×1000=1600kN；\n"
                                 u"设计抗剪荷载：V=160×10×1000=1600kN；\n";

int fail(const char *what)
{
    std::fprintf(stderr, "jointrix-consumer: %s\n", what);
    return 1;
}

// What linking the share-memory target must give: the process's operator new is the
// program's own, over the shared heap, not the C++ runtime's.
bool ownsOperatorNew()
{
    Dl_info found {};
    Dl_info program {};
    void *address = dlsym(RTLD_DEFAULT, "_Znwm");
    return address && dladdr(address, &found)
        && dladdr(reinterpret_cast<void *>(&ownsOperatorNew), &program)
        && found.dli_fbase == program.dli_fbase;
}

int showAndCalculate(JxLxToolShowFunc show, JxFreeFormFunc freeForm)
{
    QWidget sizeControl;
    sizeControl.resize(1023, 738);
    auto *container = new QWidget(&sizeControl);
    container->resize(sizeControl.size());
    sizeControl.show();

    show(qApp, &sizeControl, container);
    QPointer<QWidget> tool = container->findChild<QWidget *>(QStringLiteral("frm_Jointrix"));
    auto *calculate = tool ? tool->findChild<QAbstractButton *>(QStringLiteral("BtnOk")) : nullptr;
    auto *report = tool ? tool->findChild<QTextEdit *>(QStringLiteral("RxRichEdit1")) : nullptr;
    if (!calculate || !report)
        return fail("the tool, its Calculate button or its report is missing");

    calculate->click();
    const QString text = report->toPlainText();
    const QString expected = QString::fromUtf16(DefaultReport);
    int status = 0;
    if (text != expected) {
        std::fprintf(stderr, "jointrix-consumer: the report is\n%s\ninstead of\n%s\n",
                     qPrintable(text), qPrintable(expected));
        status = 1;
    } else {
        std::printf("%s", qPrintable(text));
    }

    freeForm();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (tool)
        status = fail("the window outlived FreeForm and the event loop's turn");
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!ownsOperatorNew())
        return fail("operator new is the C++ runtime's: the share-memory library is not linked in");

    void *module = dlopen(JOINTRIX_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "jointrix-consumer: cannot load %s: %s\n", JOINTRIX_MODULE, dlerror());
        return 1;
    }
    auto show = reinterpret_cast<JxLxToolShowFunc>(dlsym(module, "LxToolShow"));
    auto freeForm = reinterpret_cast<JxFreeFormFunc>(dlsym(module, "FreeForm"));
    const int status = show && freeForm ? showAndCalculate(show, freeForm)
                                        : fail("the module lacks LxToolShow or FreeForm");
    dlclose(module);
    if (status == 0)
        std::printf("jointrix-consumer: %s passed\n", JOINTRIX_MODULE);
    return status;
}
