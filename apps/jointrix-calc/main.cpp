// jointrix-calc: the weld-connection capacity report on the command line, written by the same
// calculation object and report writer as the window, into a document that is then printed.
// The command line is read into options first (CalcOptions), then run.

#include "CalcOptions.h"
#include "calc/U_Class.h"
#include "calc/Weld.h"
#include "jointrix/version.h"
#include "platform/cmdline/CmdLine.h"
#include "platform/savefile/SaveFile.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int ExitComplete = 0;
constexpr int ExitCalculationError = 1;
constexpr int ExitUsage = 2;
constexpr int ExitWriteError = 3;

// The report writes numbers with the decimal separator of the system's locale, read once per
// process; a program for scripts reads and writes a full stop whatever the user's locale is.
// So this process takes its numbers from the C locale, before anything reads the separator,
// and keeps the user's choice for everything else. LC_ALL would outrank LC_NUMERIC: its value
// moves to LANG, which then stands for every other category as LC_ALL did (so the single
// categories it overrode go too).
void takeNumbersFromTheCLocale()
{
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty()) {
        for (const char *category :
             {"LC_CTYPE", "LC_COLLATE", "LC_TIME", "LC_MONETARY", "LC_MESSAGES", "LC_PAPER",
              "LC_NAME", "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"})
            qunsetenv(category);
        qputenv("LANG", all);
        qunsetenv("LC_ALL");
    }
    qputenv("LC_NUMERIC", "C");
}

void reportWriteError(const QString &what, const QString &why)
{
    std::fprintf(stderr, "jointrix-calc: cannot write %s: %s\n", what.toUtf8().constData(),
                 why.toUtf8().constData());
}

// The sheet of the one calculation, into its file; the status says how the calculation went.
int runSheet(const calccli::Options &options)
{
    const sheet::Calculation calculation = sheet::calculate(options.input);
    const std::unique_ptr<QTextDocument> document = sheet::makeDocument(calculation);
    const sheet::WriteResult written = sheet::save(*document, options.output, *options.sheetFormat);
    if (!written.ok()) {
        reportWriteError(QLatin1Char('\'') + options.output + QLatin1Char('\''), written.error);
        return ExitWriteError;
    }
    return calculation.result.ok() ? ExitComplete : ExitCalculationError;
}

// The table, row by row as it is calculated, to the standard output or into its file: a table
// cut short by a failed write never replaces an older file (TSaveTarget).
int runTable(const calccli::Options &options)
{
    const batch::Format format = options.format == calccli::Format::JsonLines
        ? batch::Format::JsonLines
        : batch::Format::Csv;
    if (options.output.isEmpty()) {
        if (cmdline::standardOutputClosed()) {
            reportWriteError(QStringLiteral("to the standard output"),
                             QString::fromUtf8(std::strerror(EBADF)));
            return ExitWriteError;
        }
        const batch::WriteResult written = batch::write(*options.table, format, stdout);
        if (!written.ok()) {
            reportWriteError(QStringLiteral("to the standard output"),
                             QString::fromStdString(written.error));
            return ExitWriteError;
        }
        return ExitComplete;
    }
    TSaveTarget file(options.output);
    const QString shown = QLatin1Char('\'') + options.output + QLatin1Char('\'');
    if (!file.open()) {
        reportWriteError(shown, file.errorString());
        return ExitWriteError;
    }
    const batch::WriteResult written = batch::write(
        *options.table, format, [&file](std::string_view piece) {
            return file.device()->write(piece.data(), qint64(piece.size())) == qint64(piece.size());
        });
    if (!written.ok() || !file.commit()) {
        reportWriteError(shown,
                         written.ok() ? file.errorString() : QString::fromStdString(written.error));
        return ExitWriteError;
    }
    return ExitComplete;
}

int run(const calccli::Options &options)
{
    if (options.table)
        return runTable(options);
    if (options.sheetFormat)
        return runSheet(options);

    const weld::Input &input = options.input;
    QTextDocument document;
    // A document needs no platform, but without a GUI application its default font has no
    // family, and the html would say "font-family:;". This is the font Qt gives a document on a
    // platform without a desktop: the html reads as it did when this program ran on one.
    document.setDefaultFont(QFont(QStringLiteral("Sans Serif"), 9));
    TReportView view(&document);
    CalculateReport(input, &view);

    const bool html = options.format == calccli::Format::Html;
    if (!cmdline::writeOut(html ? document.toHtml() : document.toPlainText()))
        return ExitWriteError;
    return weld::calculate(input).ok() ? ExitComplete : ExitCalculationError;
}

} // namespace

int main(int argc, char **argv)
{
    takeNumbersFromTheCLocale();
    cmdline::holdStandardStreams();
    // A reader that went away is a failed write, reported as one, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);
    // The report is a document, and documents need no window system: a core application runs
    // whatever the user's Qt platform settings are, and loads no platform plugin at all.
    // Outlives the application below, which may use it.
    std::optional<QTemporaryDir> runtimeDir;
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("jointrix-calc"));
    QCoreApplication::setApplicationVersion(QStringLiteral(JOINTRIX_VERSION_STRING));

    const calccli::Parsed parsed = calccli::parseOptions(QCoreApplication::arguments());
    switch (parsed.action) {
    case cmdline::Action::UsageError:
        cmdline::reportUsageError(parsed.text);
        return ExitUsage;
    case cmdline::Action::Help:
    case cmdline::Action::Version:
        return cmdline::writeOut(parsed.text) ? ExitComplete : ExitWriteError;
    case cmdline::Action::Run:
        break;
    }
    if (parsed.options.sheetFormat == sheet::Format::Pdf) {
        // A PDF embeds its fonts, and fonts need a GUI application: on the offscreen platform,
        // whatever the user's settings name, since nothing is ever shown.
        app.reset();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // A GUI application wants a private runtime folder and warns when the environment
        // names none (under cron, in CI): this run gets one of its own.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            runtimeDir.emplace();
            if (runtimeDir->isValid())
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return run(parsed.options);
}
