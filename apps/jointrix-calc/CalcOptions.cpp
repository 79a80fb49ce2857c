#include "CalcOptions.h"

#include "platform/cmdline/CmdLine.h"
#include "platform/numtext/NumText.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <string_view>
#include <tuple>
#include <type_traits>

namespace calccli {

namespace {

using cmdline::invalidValue;
using cmdline::shown;

// "a, b or c" from the command-line names of a choice's table.
template<typename E> QString choices()
{
    const auto &entries = weld::table<E>();
    QString text;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            text += i + 1 == entries.size() ? QLatin1String(" or ") : QLatin1String(", ");
        text += QLatin1String(entries[i].name.data(), qsizetype(entries[i].name.size()));
    }
    return text;
}

template<typename E> QString nameOf(E value)
{
    const std::string_view name = weld::name(value);
    return QLatin1String(name.data(), qsizetype(name.size()));
}

QString number(double value)
{
    return QString::number(value, 'g', 15);
}

QString lengthDescription(const Length &length)
{
    return QStringLiteral("%1 in mm, from %2 to %3, written with a full stop; default %4")
        .arg(QLatin1String(length.what), number(length.min), number(length.max),
             number(length.initial));
}

const char ExitStatuses[]
    = "\n"
      "Exit status:\n"
      "  0  a complete report, sheet or table (a table's failed rows say so in their status)\n"
      "  1  the calculation failed; the report then ends with the error line\n"
      "  2  bad usage\n"
      "  3  the output cannot be written\n";

} // namespace

LengthValue readLength(const Length &length, const QString &text, bool unchecked)
{
    const QString option = QLatin1String(length.option);
    // Every kind of blank alike, tabs and line breaks included: values cut from tables and
    // command output come with them.
    const std::optional<double> value = numtext::parseReal(text.trimmed(), QLatin1Char('.'));
    if (!value) {
        return {std::nullopt,
                invalidValue(text, option)
                    + QLatin1String(" (a finite number written with a full stop, "
                                    "such as 16.5)")};
    }
    if (!unchecked && !(*value >= length.min && *value <= length.max)) {
        return {std::nullopt,
                invalidValue(text, option)
                    + QStringLiteral(" (the %1 is from %2 to %3 mm; --unchecked takes any finite "
                                     "number)")
                          .arg(QLatin1String(length.what), number(length.min), number(length.max))};
    }
    return {value, QString()};
}

Parsed parseOptions(const QStringList &arguments)
{
    const Options defaults;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the design tensile, compressive and shear loads of a weld connection."));
    const QCommandLineOption help = cmdline::helpOption();
    const QCommandLineOption version = cmdline::versionOption();
    const QCommandLineOption form(
        QStringLiteral("form"),
        QStringLiteral("connection form: %1 (single- or double-sided fillet weld, butt weld, lap "
                       "weld); default %2")
            .arg(choices<weld::Form>(), nameOf(defaults.input.form)),
        QStringLiteral("form"));
    const QCommandLineOption grade(
        QStringLiteral("grade"),
        QStringLiteral("weld quality grade, %1 (first to third; butt and lap welds only); default "
                       "%2")
            .arg(choices<weld::Grade>(), nameOf(defaults.input.grade)),
        QStringLiteral("grade"));
    const QCommandLineOption electrode(
        QStringLiteral("electrode"),
        QStringLiteral("electrode type, %1; default %2")
            .arg(choices<weld::Electrode>(), nameOf(defaults.input.electrode)),
        QStringLiteral("type"));
    const QCommandLineOption hf(QLatin1String(Hf.option), lengthDescription(Hf),
                                QStringLiteral("mm"));
    const QCommandLineOption lf(QLatin1String(Lf.option), lengthDescription(Lf),
                                QStringLiteral("mm"));
    const QCommandLineOption unchecked(
        QStringLiteral("unchecked"),
        QStringLiteral("passes any finite hf and lf to the calculation as they are, out of range "
                       "too (the report prints a negative value's magnitude, a table its sign)"));
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("text (the report lines in UTF-8) or html (the document with its styles); "
                       "default text. With --table: csv or json (JSON Lines); default csv"),
        QStringLiteral("format"));
    const QCommandLineOption output(
        QStringLiteral("output"),
        QStringLiteral("writes the calculation sheet to FILE instead of printing the report, in "
                       "the format of its extension: .pdf, .odt, .html or .txt. With --table: "
                       "writes the table to FILE"),
        QStringLiteral("FILE"));
    const QCommandLineOption table(
        QStringLiteral("table"),
        QStringLiteral("writes a table of every combination instead of one report: --form, "
                       "--grade and --electrode take comma-separated lists or all, --hf and --lf "
                       "lists (4,6,8) or ranges start:stop:step (4:20:2); columns "
                       "form,grade,electrode,hf,lf,F,N,V,status, loads in kN"));
    parser.addOptions(
        {help, version, form, grade, electrode, hf, lf, unchecked, format, output, table});

    const cmdline::Outcome outcome = cmdline::parse(parser, arguments, QLatin1String(ExitStatuses));
    if (outcome.action != cmdline::Action::Run)
        return {outcome.action, {}, outcome.text};
    const auto usageError = &Parsed::usageError;
    Parsed parsed;
    if (const QStringList positional = parser.positionalArguments(); !positional.isEmpty())
        return usageError(QStringLiteral("unexpected argument '%1'").arg(shown(positional[0])));

    Options &options = parsed.options;
    const auto readChoice = [&parser](const QCommandLineOption &option, auto &target) {
        using E = std::decay_t<decltype(target)>;
        if (!parser.isSet(option))
            return QString();
        const QByteArray value = parser.value(option).toUtf8();
        const std::optional<E> chosen
            = weld::fromName<E>(std::string_view(value.constData(), size_t(value.size())));
        if (!chosen) {
            return QString(invalidValue(parser.value(option), option.names().constFirst())
                           + QStringLiteral(" (%1)").arg(choices<E>()));
        }
        target = *chosen;
        return QString();
    };
    options.unchecked = parser.isSet(unchecked);
    options.output = parser.value(output);
    if (parser.isSet(output) && options.output.isEmpty())
        return usageError(QStringLiteral("option '--output' needs a file name"));

    if (parser.isSet(table)) {
        // The options' texts as they are: lists and ranges, read and checked all at once.
        const auto text = [&parser](const QCommandLineOption &option, const char *initial) {
            return parser.isSet(option) ? parser.value(option).toStdString() : std::string(initial);
        };
        const std::string given[] = {text(form, "single"), text(grade, "1"), text(electrode, "E43"),
                                     text(hf, "10"), text(lf, "1000")};
        batch::TableOptions wanted;
        wanted.form = given[0];
        wanted.grade = given[1];
        wanted.electrode = given[2];
        wanted.hf = given[3];
        wanted.lf = given[4];
        wanted.unchecked = options.unchecked;
        batch::Parsed<batch::Table> made = batch::makeTable(wanted);
        if (!made)
            return usageError(QString::fromStdString(made.error));
        options.table = std::move(made.value);
        if (const auto sheetFormat = sheet::formatOf(options.output);
            sheetFormat && *sheetFormat != sheet::Format::Text) {
            return usageError(invalidValue(options.output, QStringLiteral("output"))
                              + QLatin1String(" (a table is CSV or JSON Lines text, not a sheet's "
                                              "PDF, ODF or HTML)"));
        }
        options.format = Format::Csv;
        if (parser.isSet(format)) {
            const QString value = parser.value(format);
            if (value == QLatin1String("csv"))
                options.format = Format::Csv;
            else if (value == QLatin1String("json"))
                options.format = Format::JsonLines;
            else
                return usageError(invalidValue(value, QStringLiteral("format"))
                                  + QLatin1String(" (csv or json with --table)"));
        }
        return parsed;
    }

    for (const QString &error :
         {readChoice(form, options.input.form), readChoice(grade, options.input.grade),
          readChoice(electrode, options.input.electrode)}) {
        if (!error.isEmpty())
            return usageError(error);
    }

    for (const auto &[option, length, target] :
         {std::tuple {&hf, &Hf, &options.input.hf}, std::tuple {&lf, &Lf, &options.input.lf}}) {
        if (!parser.isSet(*option))
            continue;
        const LengthValue read = readLength(*length, parser.value(*option), options.unchecked);
        if (!read.value)
            return usageError(read.error);
        *target = *read.value;
    }

    if (!options.output.isEmpty()) {
        options.sheetFormat = sheet::formatOf(options.output);
        if (!options.sheetFormat) {
            return usageError(invalidValue(options.output, QStringLiteral("output"))
                              + QLatin1String(" (a file name ending in .pdf, .odt, .html or "
                                              ".txt)"));
        }
        if (parser.isSet(format)) {
            return usageError(QStringLiteral("option '--format' does not go with '--output': "
                                             "the sheet's format follows the file name"));
        }
    }

    if (parser.isSet(format)) {
        const QString value = parser.value(format);
        if (value == QLatin1String("text"))
            options.format = Format::Text;
        else if (value == QLatin1String("html"))
            options.format = Format::Html;
        else
            return usageError(invalidValue(value, QStringLiteral("format"))
                              + QLatin1String(" (text or html; csv and json go with --table)"));
    }
    return parsed;
}

} // namespace calccli
