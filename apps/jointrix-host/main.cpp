// jointrix-host: a small host for the plug-in module. It loads libjointrix.so, shows the tool
// inside a container widget of its main window, and on close frees the tool, lets the event
// loop release it and unloads the module.

#include "jointrix/jointrix.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpression>
#include <QTextEdit>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitModule = 2;

const char Usage[]
    = "Usage: jointrix-host [--module PATH] [--size WxH] [--calculate] [--screenshot FILE]\n"
      "                     [--quit-after-show]\n"
      "\n"
      "Loads the weld-connection calculator module and shows it in a window.\n"
      "\n"
      "  --module PATH      the module; default the installed one, else\n"
      "                     ../lib/libjointrix.so beside this program\n"
      "  --size WxH         the size control's size; the tool gets W-199 x H-122; default\n"
      "                     1023x738\n"
      "  --calculate        presses Calculate once the tool is shown and prints the report\n"
      "  --screenshot FILE  saves the tool, after any calculation, as a picture\n"
      "  --quit-after-show  frees the tool and exits once it is shown\n"
      "  --help             prints this text\n"
      "\n"
      "Without a display (neither DISPLAY nor WAYLAND_DISPLAY set) it runs offscreen; unless\n"
      "--quit-after-show is given it then presses Calculate, saves the picture (jointrix.png\n"
      "unless --screenshot names another), prints the report and exits.\n"
      "Exit status: 0 done, 1 the tool could not be shown or saved, 2 bad usage or a module\n"
      "that cannot be loaded or lacks an export.\n";

struct Options
{
    std::string module;
    int width = 1023;
    int height = 738;
    bool calculate = false;
    std::string screenshot;
    bool quitAfterShow = false;
};

bool parseSize(const char *text, int &width, int &height)
{
    char tail = 0;
    return std::sscanf(text, "%dx%d%c", &width, &height, &tail) == 2 && width > 0 && height > 0;
}

// Parses the options into `options`; returns -1 to go on, otherwise the exit status.
int parseOptions(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(arg, "--help")) {
            std::fputs(Usage, stdout);
            return ExitOk;
        } else if (!std::strcmp(arg, "--module") && hasValue) {
            options.module = argv[++i];
        } else if (!std::strcmp(arg, "--size") && hasValue) {
            if (!parseSize(argv[++i], options.width, options.height)) {
                std::fprintf(stderr, "jointrix-host: bad size '%s', expected WxH\n", argv[i]);
                return ExitModule;
            }
        } else if (!std::strcmp(arg, "--calculate")) {
            options.calculate = true;
        } else if (!std::strcmp(arg, "--screenshot") && hasValue) {
            options.screenshot = argv[++i];
        } else if (!std::strcmp(arg, "--quit-after-show")) {
            options.quitAfterShow = true;
        } else {
            std::fprintf(stderr, "jointrix-host: unknown or incomplete option '%s'\n\n%s", arg,
                         Usage);
            return ExitModule;
        }
    }
    return -1;
}

struct Module
{
    void *handle = nullptr;
    JxLxToolShowFunc show = nullptr;
    JxFreeFormFunc free = nullptr;
};

// One clear line and false when the module cannot be loaded or lacks an export.
bool loadModule(const std::string &path, Module &module)
{
    module.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module.handle) {
        std::fprintf(stderr, "jointrix-host: cannot load the module: %s\n", dlerror());
        return false;
    }
    module.show = reinterpret_cast<JxLxToolShowFunc>(dlsym(module.handle, "LxToolShow"));
    module.free = reinterpret_cast<JxFreeFormFunc>(dlsym(module.handle, "FreeForm"));
    const char *missing = !module.show ? "LxToolShow" : !module.free ? "FreeForm" : nullptr;
    if (missing) {
        std::fprintf(stderr, "jointrix-host: the module %s lacks the export %s\n", path.c_str(),
                     missing);
        dlclose(module.handle);
        module.handle = nullptr;
        return false;
    }
    return true;
}

// The host's main window: the size control of the tool, with the container as its centre.
class THostWindow : public QMainWindow
{
public:
    explicit THostWindow(const Module &module, QWidget *parent = nullptr)
        : QMainWindow(parent)
        , m_module(module)
        , m_container(new QWidget(this))
    {
        setWindowTitle(QStringLiteral("jointrix-host"));
        m_container->setObjectName(QStringLiteral("container"));
        setCentralWidget(m_container);
    }

    QWidget *container() const { return m_container; }
    QWidget *tool() const
    {
        return m_container->findChild<QWidget *>(QStringLiteral("frm_Jointrix"));
    }

    void freeTool()
    {
        if (m_toolShown) {
            m_toolShown = false;
            m_module.free();
        }
    }
    void setToolShown() { m_toolShown = true; }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        freeTool();
        QMainWindow::closeEvent(event);
    }

private:
    Module m_module;
    QWidget *m_container;
    bool m_toolShown = false;
};

bool pressCalculate(QWidget *tool)
{
    auto *button = tool->findChild<QAbstractButton *>(QStringLiteral("BtnOk"));
    if (!button)
        return false;
    button->click();
    return true;
}

QString reportText(QWidget *tool)
{
    auto *view = tool->findChild<QTextEdit *>();
    return view ? view->toPlainText() : QString();
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (const int status = parseOptions(argc, argv, options); status >= 0)
        return status;

    const bool noDisplay
        = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (noDisplay) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Nobody could use the window: instead of waiting for a close that never comes, show
        // what the tool does. A run that quits after the show anyway keeps its own options.
        if (!options.quitAfterShow) {
            options.calculate = true;
            if (options.screenshot.empty())
                options.screenshot = "jointrix.png";
            options.quitAfterShow = true;
        }
    }

    QApplication app(argc, argv);
    if (options.module.empty()) {
        // Installed, the module is in its own folder (JOINTRIX_INSTALLED_MODULE, relative to
        // this program's); in the build folder it is in ../lib.
        const QDir programDir(QCoreApplication::applicationDirPath());
        QString path = programDir.filePath(QStringLiteral(JOINTRIX_INSTALLED_MODULE));
        if (!QFileInfo::exists(path))
            path = programDir.filePath(QStringLiteral("../lib/libjointrix.so"));
        options.module = path.toStdString();
    }

    Module module;
    if (!loadModule(options.module, module))
        return ExitModule;

    int status = ExitOk;
    {
        THostWindow host(module);
        host.resize(options.width, options.height);
        host.show();

        // Errors of LxToolShow arrive as exceptions; a host reports them as it sees fit.
        try {
            module.show(&app, &host, host.container());
            host.setToolShown();
        } catch (const std::exception &e) {
            std::fprintf(stderr, "jointrix-host: the tool could not be shown: %s\n", e.what());
            status = ExitFailure;
        }

        QPointer<QWidget> tool = host.tool();
        if (status == ExitOk && tool) {
            QCoreApplication::processEvents();
            if (options.calculate) {
                if (pressCalculate(tool)) {
                    std::printf("%s\n", qPrintable(reportText(tool)));
                } else {
                    std::fprintf(stderr, "jointrix-host: the tool has no Calculate button\n");
                    status = ExitFailure;
                }
            }
            if (!options.screenshot.empty()) {
                const QString file = QString::fromStdString(options.screenshot);
                if (tool->grab().save(file)) {
                    std::printf("jointrix-host: picture saved to %s\n",
                                qPrintable(QDir::current().absoluteFilePath(file)));
                } else {
                    std::fprintf(stderr, "jointrix-host: cannot save the picture to %s\n",
                                 qPrintable(file));
                    status = ExitFailure;
                }
            }
        }

        if (!options.quitAfterShow && status == ExitOk)
            app.exec();
        host.freeTool();
        // The tool is released by a posted event: give it its event-loop turn before unloading.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    dlclose(module.handle);
    return status;
}
