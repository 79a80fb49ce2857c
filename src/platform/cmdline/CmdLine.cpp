#include "platform/cmdline/CmdLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace cmdline {

namespace {

bool g_stdoutClosed = false;

} // namespace

QString shown(const QString &value)
{
    QString text;
    for (const QChar c : value) {
        if (c == u'\n')
            text += QLatin1String("\\n");
        else if (c == u'\t')
            text += QLatin1String("\\t");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            text += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
}

QString invalidValue(const QString &value, const QString &option)
{
    return QStringLiteral("invalid value '%1' for option '--%2'").arg(shown(value), option);
}

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("prints this help"));
}

QCommandLineOption versionOption()
{
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                              QStringLiteral("prints the version"));
}

Outcome parse(QCommandLineParser &parser, const QStringList &arguments, const QString &helpTail)
{
    if (!parser.parse(arguments)) {
        // Qt names an option it does not know without its dashes.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString &name = unknown.constFirst();
            return {Action::UsageError,
                    QStringLiteral("unknown option '%1%2'")
                        .arg(name.size() == 1 ? QLatin1String("-") : QLatin1String("--"), name)};
        }
        // Qt's sentence ("Missing value after '--hf'.") as one of ours.
        QString text = parser.errorText();
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
        if (!text.isEmpty())
            text[0] = text[0].toLower();
        return {Action::UsageError, text};
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Qt's first line names the program as it was started, a path; ours is the name.
        const QString text = parser.helpText();
        return {Action::Help,
                QStringLiteral("Usage: %1 [options]").arg(QCoreApplication::applicationName())
                    + text.mid(text.indexOf(QLatin1Char('\n'))) + helpTail};
    }
    if (parser.isSet(QStringLiteral("version"))) {
        return {Action::Version,
                QCoreApplication::applicationName() + QLatin1Char(' ')
                    + QCoreApplication::applicationVersion() + QLatin1Char('\n')};
    }
    return {};
}

void reportUsageError(const QString &line)
{
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", name.constData(),
                 line.toUtf8().constData(), name.constData());
}

void holdStandardStreams()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == STDOUT_FILENO)
            g_stdoutClosed = true;
        const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

bool standardOutputClosed()
{
    return g_stdoutClosed;
}

bool writeOut(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    errno = 0;
    const bool written = !g_stdoutClosed
        && std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0;
    if (!written) {
        const int error = g_stdoutClosed ? EBADF : errno;
        std::fprintf(stderr, "%s: cannot write to the standard output: %s\n",
                     QCoreApplication::applicationName().toUtf8().constData(),
                     error ? std::strerror(error) : "write error");
    }
    return written;
}

} // namespace cmdline
