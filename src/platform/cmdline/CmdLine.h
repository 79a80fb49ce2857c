#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

// The conventions both programs keep on the command line, over QCommandLineParser: -h/--help
// and -v/--version, one line naming the option and the value for a usage error, and output
// whose loss is an error. Messages name the program by QCoreApplication::applicationName().
namespace cmdline {

// The value as a message shows it: on one line, whatever a script passed.
QString shown(const QString &value);

// "invalid value 'VALUE' for option '--OPTION'"
QString invalidValue(const QString &value, const QString &option);

// -h/--help and -v/--version. Qt's own help option brings --help-all, which lists Qt's options:
// the programs have none a user needs.
QCommandLineOption helpOption();
QCommandLineOption versionOption();

// What a command line asks for: a run, or a text to print and leave, or a usage error.
enum class Action : quint8 { Run, Help, Version, UsageError };

// A program's reading of its command line: the action, the options of a run, and the help or
// version text or the usage error's one line (without the program's name).
template<typename Options> struct Parsed
{
    Action action = Action::Run;
    Options options;
    QString text;

    static Parsed usageError(const QString &line) { return {Action::UsageError, {}, line}; }
};

struct Outcome
{
    Action action = Action::Run;
    QString text;
};

// Parses `arguments` (as QCoreApplication::arguments() gives them) with `parser`, which holds
// helpOption() and versionOption() among the program's options. Run when the program goes on
// to read its own options; otherwise the help (its first line naming the program, `helpTail`
// after it), the version text, or the usage error of a parse that failed (an unknown option
// named with its dashes, or Qt's sentence as one line of ours).
Outcome parse(QCommandLineParser &parser, const QStringList &arguments,
              const QString &helpTail = QString());

// The usage error's line on stderr, with the pointer to --help.
void reportUsageError(const QString &line);

// Opens a standard stream the program was started without on /dev/null, so that no file the
// process opens later takes its number; writeOut() still fails for a closed standard output.
// Call first thing in main().
void holdStandardStreams();

// Whether the program was started with its standard output closed.
bool standardOutputClosed();

// Writes `text` to standard output, ending it with a line break if it has none. A write that
// fails (a full disk, a closed output, a reader that went away) gives one line on stderr and
// false: the output is lost, and a script must see that.
bool writeOut(const QString &text);

} // namespace cmdline
