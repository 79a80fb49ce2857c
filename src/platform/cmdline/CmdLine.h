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

// Why parse() failed, as one line of ours: an unknown option named with its dashes, or Qt's
// sentence without its full stop.
QString parseError(const QCommandLineParser &parser);

// The help whose first line names the program, not the path it was started by.
QString helpText(const QCommandLineParser &parser);
// "NAME VERSION" and a line break.
QString versionText();

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
