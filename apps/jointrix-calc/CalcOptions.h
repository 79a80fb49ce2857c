#pragma once

// The command line of jointrix-calc, read in one step into Options; main.cpp runs them. A new
// option is a field of Options, an entry in parseOptions() and its line in the help.

#include "batch/Batch.h"
#include "calc/Weld.h"
#include "platform/cmdline/CmdLine.h"
#include "sheet/Sheet.h"

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

inline constexpr Length Hf = {"hf", "weld thickness", weld::HfRange.min, weld::HfRange.max, 10};
inline constexpr Length Lf = {"lf", "weld length", weld::LfRange.min, weld::LfRange.max, 1000};

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

// What goes to the standard output: the report as text or html, a table as CSV or JSON Lines.
enum class Format : quint8 { Text, Html, Csv, JsonLines };

struct Options
{
    weld::Input input = {weld::Form::SingleFillet, weld::Grade::First, weld::Electrode::E43,
                         Hf.initial, Lf.initial};
    bool unchecked = false;
    Format format = Format::Text;
    // --output: the file the calculation sheet, or the table, is written to instead of the
    // standard output; empty for the standard output.
    QString output;
    // The sheet's format, from the output's extension (a single calculation with --output).
    std::optional<sheet::Format> sheetFormat;
    // --table: every combination of the lists and ranges given, checked and ready to write.
    std::optional<batch::Table> table;
};

using Parsed = cmdline::Parsed<Options>;

// `arguments` as QCoreApplication::arguments() gives them, the program first. Needs a
// QCoreApplication for the help text.
Parsed parseOptions(const QStringList &arguments);

} // namespace calccli
