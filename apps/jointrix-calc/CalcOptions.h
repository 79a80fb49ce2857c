#pragma once

// The command line of jointrix-calc, read in one step into Options; main.cpp runs them. A new
// option is a field of Options, an entry in parseOptions() and its line in the help.

#include "calc/Weld.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace calccli {

// A length the calculator reads, with the range the window's field accepts and the window's
// starting value. Unlike the window's whole-number fields, decimals are allowed.
struct Length
{
    const char *option; // without the dashes
    const char *what;
    double min;
    double max;
    double initial;
};

inline constexpr Length Hf = {"hf", "weld thickness", 1, 100, 10};
inline constexpr Length Lf = {"lf", "weld length", 1, 10000, 1000};

// A length read from its text: the value, or the message naming the option, the text and what
// is wrong with it.
struct LengthValue
{
    std::optional<double> value;
    QString error;
};

// Reads `text` for `length`: a finite number written with a full stop, blanks around it
// allowed; within the length's range unless `unchecked`, which lets any finite number reach the
// calculation object.
LengthValue readLength(const Length &length, const QString &text, bool unchecked);

enum class Format : quint8 { Text, Html };

struct Options
{
    weld::Input input = {weld::Form::SingleFillet, weld::Grade::First, weld::Electrode::E43,
                         Hf.initial, Lf.initial};
    bool unchecked = false;
    Format format = Format::Text;
};

// What the command line asks for: a run with its options, or a text to print and leave.
struct Parsed
{
    enum class Action : quint8 { Run, Help, Version, UsageError };
    Action action = Action::Run;
    Options options;
    // The help or version text, or for a usage error its one line, without the program's name.
    QString text;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first. Needs a
// QCoreApplication for the help text.
Parsed parseOptions(const QStringList &arguments);

} // namespace calccli
