// jointrix-host: a small host for the plug-in module. It loads libjointrix.so, shows the tool
// inside a container widget of its main window, and on close frees the tool, lets the event
// loop release it and unloads the module.

#include "jointrix/jointrix.h"
#include "jointrix/version.h"
#include "platform/cmdline/CmdLine.h"
#include "platform/savefile/SaveFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpression>
#include <QTextEdit>

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2; // bad usage, or a module that cannot be loaded or lacks an export

// The room a size control has around the tool: the tool gets its width - 199 and height - 122.
constexpr int AroundToolWidth = 199;
constexpr int AroundToolHeight = 122;
// The smallest size control that shows every control of the tool, worked out from the tool's
// anchors. Its group box stretches with the width while the lists and fields in it stay put:
// at 740 wide (the fields' right edge, 470, plus the box's 3 pixel frame, plus the 267 the
// design keeps beside the box) they still lie inside it, clear of the diagram. Its report view
// stretches with the height while the boxes above and Calculate's button keep their places: at
// 385 high the view holds the five lines of a report, its four and the empty one the caret
// stays on, so nothing scrolls away. Below either a control is cut, covered or scrolled off.
constexpr int SmallestWidth = 740 + AroundToolWidth;
constexpr int SmallestHeight = 385 + AroundToolHeight;
// The largest: windows beyond this are more than painting and memory take.
constexpr int LargestSide = 16384;

struct Options
{
    QString module;
    QSize size = {1023, 738};
    bool calculate = false;
    QString screenshot;
    bool quitAfterShow = false;
};

using Parsed = cmdline::Parsed<Options>;

using cmdline::invalidValue;

std::optional<QSize> readSize(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]+)x([0-9]+)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool widthOk = false;
    bool heightOk = false;
    const qlonglong width = match.captured(1).toLongLong(&widthOk);
    const qlonglong height = match.captured(2).toLongLong(&heightOk);
    if (!widthOk || !heightOk || width < SmallestWidth || width > LargestSide
        || height < SmallestHeight || height > LargestSide)
        return std::nullopt;
    return QSize(int(width), int(height));
}

QString sizeRange()
{
    return QStringLiteral("from %1x%2 to %3x%3")
        .arg(SmallestWidth)
        .arg(SmallestHeight)
        .arg(LargestSide);
}

// The picture formats Qt can write, as file name endings.
QString writableFormats()
{
    QStringList formats;
    for (const QByteArray &format : QImageWriter::supportedImageFormats())
        formats << QString::fromLatin1(format);
    return formats.join(QLatin1String(", "));
}

// `arguments` as QCoreApplication::arguments() gives them, Qt's own options taken out.
Parsed parseOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Loads the weld-connection calculator module and shows it in a window.\n"
        "\n"
        "On the offscreen or minimal Qt platform (QT_QPA_PLATFORM names it, or there is no\n"
        "display, or the display cannot be opened) nobody could use the window: unless\n"
        "--quit-after-show is given it then presses Calculate, saves the picture (jointrix.png\n"
        "unless --screenshot names another), prints the report and exits.\n"
        "\n"
        "Exit status: 0 done, 1 the tool could not be shown or saved or the output written, 2\n"
        "bad usage or a module that cannot be loaded or lacks an export."));
    const QCommandLineOption help = cmdline::helpOption();
    const QCommandLineOption version = cmdline::versionOption();
    const QCommandLineOption module(
        QStringLiteral("module"),
        QStringLiteral("the module; default the installed one, else ../lib/libjointrix.so of the "
                       "build folder beside this program"),
        QStringLiteral("path"));
    const QCommandLineOption size(
        QStringLiteral("size"),
        QStringLiteral("the size control's size in pixels, %1 (the smallest shows every "
                       "control of the tool); the tool gets W-%2 x H-%3; default 1023x738")
            .arg(sizeRange())
            .arg(AroundToolWidth)
            .arg(AroundToolHeight),
        QStringLiteral("WxH"));
    const QCommandLineOption calculate(
        QStringLiteral("calculate"),
        QStringLiteral("presses Calculate once the tool is shown and prints the report"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        // Not listing Qt's writable formats here: that loads every image plugin at each start.
        QStringLiteral("saves the tool, after any calculation, as a picture; the file name's "
                       "ending names the format (png, jpg, bmp or another Qt writes)"),
        QStringLiteral("file"));
    const QCommandLineOption quitAfterShow(QStringLiteral("quit-after-show"),
                                           QStringLiteral("frees the tool and exits once it is "
                                                          "shown"));
    parser.addOptions({help, version, module, size, calculate, screenshot, quitAfterShow});

    const cmdline::Outcome outcome = cmdline::parse(parser, arguments);
    if (outcome.action != cmdline::Action::Run)
        return {outcome.action, {}, outcome.text};
    const auto usageError = &Parsed::usageError;
    Parsed parsed;
    if (const QStringList positional = parser.positionalArguments(); !positional.isEmpty())
        return usageError(
            QStringLiteral("unexpected argument '%1'").arg(cmdline::shown(positional[0])));

    Options &options = parsed.options;
    options.module = parser.value(module);
    if (parser.isSet(size)) {
        const std::optional<QSize> read = readSize(parser.value(size));
        if (!read) {
            return usageError(invalidValue(parser.value(size), QStringLiteral("size"))
                              + QStringLiteral(" (W x H in pixels, %1)").arg(sizeRange()));
        }
        options.size = *read;
    }
    options.calculate = parser.isSet(calculate);
    options.screenshot = parser.value(screenshot);
    if (parser.isSet(screenshot) && options.screenshot.isEmpty())
        return usageError(QStringLiteral("option '--screenshot' needs a file name"));
    if (!options.screenshot.isEmpty()) {
        const QByteArray format = QFileInfo(options.screenshot).suffix().toLower().toLatin1();
        if (!QImageWriter::supportedImageFormats().contains(format)) {
            return usageError(invalidValue(options.screenshot, QStringLiteral("screenshot"))
                              + QStringLiteral(" (unknown picture format; the file name must end "
                                               "in one of %1)")
                                    .arg(writableFormats()));
        }
    }
    options.quitAfterShow = parser.isSet(quitAfterShow);
    return parsed;
}

// Saves `image` as `file`, the format named by its ending; the reason when it cannot.
QString savePicture(const QImage &image, const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("the folder %1 does not exist").arg(folder);
    TSaveTarget out(file);
    if (!out.open())
        return QFileInfo(file).isDir()
            ? QStringLiteral("%1 is a folder").arg(file)
            : QStringLiteral("the folder %1 cannot be written (%2)").arg(folder, out.errorString());
    QImageWriter writer(out.device(), QFileInfo(file).suffix().toLower().toLatin1());
    if (!writer.write(image))
        return writer.errorString();
    if (!out.commit())
        return out.errorString();
    return QString();
}

// The platform Qt takes, and whether the host added the offscreen one to fall back on.
struct Platform
{
    QByteArray requested; // the list as the user or the desktop asked for it
    bool fallback = false;
};

// The message handler in place before the host tried the platforms of its list.
QtMessageHandler g_qtHandler = nullptr;

// Qt's messages while the host tries the platforms of its list, without the platform plugins'
// own notes.
void dropPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg && context.category && std::strncmp(context.category, "qt.qpa.", 7) == 0)
        return;
    g_qtHandler(type, context, message);
}

bool isHeadless(QStringView platform)
{
    return platform == u"offscreen" || platform == u"minimal";
}

// Qt takes the platform from -platform, else QT_QPA_PLATFORM, else from the desktop session,
// else xcb, and ends the process when it cannot be opened. A window nobody sees is better than
// none: unless the user named one with -platform, the offscreen platform is added to the list
// Qt tries. Without any display the host goes offscreen at once.
Platform choosePlatform(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0)
            return {i + 1 < argc ? QByteArray(argv[i + 1]) : QByteArray(), false};
    }
    QByteArray requested = qgetenv("QT_QPA_PLATFORM");
    if (requested.isEmpty()) {
        if (qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            requested = "offscreen";
        else if (qgetenv("XDG_SESSION_TYPE") == "wayland"
                 && !qgetenv("XDG_CURRENT_DESKTOP").toLower().contains("gnome")
                 && !qgetenv("XDG_SESSION_DESKTOP").toLower().contains("gnome"))
            requested = "wayland;xcb";
        else
            requested = "xcb";
    }
    const QByteArray first = requested.split(';').constFirst().split(':').constFirst();
    if (isHeadless(QString::fromLatin1(first))) {
        qputenv("QT_QPA_PLATFORM", requested);
        return {requested, false};
    }
    qputenv("QT_QPA_PLATFORM", requested + ";offscreen");
    return {requested, true};
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
    cmdline::holdStandardStreams();
    const Platform platform = choosePlatform(argc, argv);
    // Qt notes each platform of the list it cannot open, not all of it through filterable
    // categories; the host says it in one line below.
    if (platform.fallback)
        g_qtHandler = qInstallMessageHandler(dropPlatformNotes);
    QApplication app(argc, argv);
    if (platform.fallback)
        qInstallMessageHandler(g_qtHandler);
    QCoreApplication::setApplicationName(QStringLiteral("jointrix-host"));
    QCoreApplication::setApplicationVersion(QStringLiteral(JOINTRIX_VERSION_STRING));

    const Parsed parsed = parseOptions(QCoreApplication::arguments());
    switch (parsed.action) {
    case cmdline::Action::UsageError:
        cmdline::reportUsageError(parsed.text);
        return ExitUsage;
    case cmdline::Action::Help:
    case cmdline::Action::Version:
        return cmdline::writeOut(parsed.text) ? ExitOk : ExitFailure;
    case cmdline::Action::Run:
        break;
    }
    Options options = parsed.options;

    // The platform Qt actually took decides, not the environment: on offscreen or minimal
    // nobody could use the window, so instead of waiting for a close that never comes the host
    // shows what the tool does. A run that quits after the show anyway keeps its own options.
    const QString taken = QGuiApplication::platformName();
    if (isHeadless(taken)) {
        if (platform.fallback) {
            const QByteArray display = qgetenv("DISPLAY");
            const QByteArray where = platform.requested.contains("xcb") && !display.isEmpty()
                ? QByteArray(" (DISPLAY=" + display + ')')
                : QByteArray();
            std::fprintf(stderr, "jointrix-host: cannot use the Qt platform %s%s; running %s\n",
                         platform.requested.constData(), where.constData(), qPrintable(taken));
        }
        if (!options.quitAfterShow) {
            options.calculate = true;
            if (options.screenshot.isEmpty())
                options.screenshot = QStringLiteral("jointrix.png");
            options.quitAfterShow = true;
        }
    }

    if (options.module.isEmpty()) {
        // Installed, the module is in its own folder (JOINTRIX_INSTALLED_MODULE, relative to
        // this program's); in the build folder it is in ../lib.
        const QDir programDir(QCoreApplication::applicationDirPath());
        options.module = programDir.filePath(QStringLiteral(JOINTRIX_INSTALLED_MODULE));
        if (!QFileInfo::exists(options.module))
            options.module = programDir.filePath(QStringLiteral("../lib/libjointrix.so"));
    }

    Module module;
    if (!loadModule(options.module.toStdString(), module))
        return ExitUsage;

    int status = ExitOk;
    {
        THostWindow host(module);
        host.resize(options.size);
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
                    // The report ends with its line break already.
                    QString text = reportText(tool);
                    if (!text.endsWith(QLatin1Char('\n')))
                        text += QLatin1Char('\n');
                    if (!cmdline::writeOut(text))
                        status = ExitFailure;
                } else {
                    std::fprintf(stderr, "jointrix-host: the tool has no Calculate button\n");
                    status = ExitFailure;
                }
            }
            if (!options.screenshot.isEmpty()) {
                const QString reason = savePicture(tool->grab().toImage(), options.screenshot);
                if (reason.isEmpty()) {
                    std::printf("jointrix-host: picture saved to %s\n",
                                qPrintable(QDir::current().absoluteFilePath(options.screenshot)));
                } else {
                    std::fprintf(stderr, "jointrix-host: cannot save the picture to %s: %s\n",
                                 qPrintable(options.screenshot), qPrintable(reason));
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
