// jointrix-calc: the weld-connection capacity report on the command line, written by the same
// calculation object and report writer as the window, into a document that is then printed.

#include "calc/U_Class.h"
#include "calc/Weld.h"
#include "platform/numtext/NumText.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr int ExitComplete = 0;
constexpr int ExitCalculationError = 1;
constexpr int ExitUsage = 2;

const char Usage[]
    = "Usage: jointrix-calc [--form single|double|butt|lap] [--grade 1|2|3]\n"
      "                     [--electrode E43|E50|E55] [--hf MM] [--lf MM]\n"
      "                     [--format text|html]\n"
      "\n"
      "Prints the design tensile, compressive and shear loads of a weld connection.\n"
      "\n"
      "  --form       connection form: single-sided fillet (single), double-sided fillet\n"
      "               (double), butt weld (butt) or lap weld (lap); default single\n"
      "  --grade      weld quality grade, 1 (first) to 3 (third); default 1\n"
      "  --electrode  electrode type; default E43\n"
      "  --hf         weld thickness in mm, a real number with a full stop; default 10\n"
      "  --lf         weld length in mm, a real number with a full stop; default 1000\n"
      "  --format     text (the report lines in UTF-8) or html (with styles); default text\n"
      "  --help       prints this text\n"
      "\n"
      "Exit status: 0 for a complete report, 1 when the calculation failed (the report then\n"
      "ends with the error line), 2 for bad usage.\n";

struct Options
{
    weld::Form form = weld::Form::SingleFillet;
    weld::Grade grade = weld::Grade::First;
    weld::Electrode electrode = weld::Electrode::E43;
    double hf = 10;
    double lf = 1000;
    bool html = false;
    bool help = false;
};

int usageError(const std::string &message)
{
    std::fprintf(stderr, "jointrix-calc: %s\n\n%s", message.c_str(), Usage);
    return ExitUsage;
}

std::optional<double> parseLength(std::string_view value)
{
    // Scripts write numbers with a full stop whatever the locale says.
    const auto number = numtext::parseReal(QString::fromUtf8(value.data(), qsizetype(value.size())),
                                           QLatin1Char('.'));
    return number;
}

// Returns an exit status when the arguments end the program, nothing otherwise.
std::optional<int> parseArguments(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (const size_t eq = arg.find('=');
            arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const bool known = name == "--form" || name == "--grade" || name == "--electrode"
            || name == "--hf" || name == "--lf" || name == "--format";
        if (!known)
            return usageError("unknown option '" + std::string(arg) + "'");
        if (!value) {
            if (i + 1 >= argc)
                return usageError("option '" + std::string(name) + "' needs a value");
            value = argv[++i];
        }
        const std::string shown
            = "'" + std::string(*value) + "' for option '" + std::string(name) + "'";
        if (name == "--form") {
            const auto form = weld::fromName<weld::Form>(*value);
            if (!form)
                return usageError("invalid value " + shown + " (single, double, butt or lap)");
            options.form = *form;
        } else if (name == "--grade") {
            const auto grade = weld::fromName<weld::Grade>(*value);
            if (!grade)
                return usageError("invalid value " + shown + " (1, 2 or 3)");
            options.grade = *grade;
        } else if (name == "--electrode") {
            const auto electrode = weld::fromName<weld::Electrode>(*value);
            if (!electrode)
                return usageError("invalid value " + shown + " (E43, E50 or E55)");
            options.electrode = *electrode;
        } else if (name == "--hf" || name == "--lf") {
            const auto number = parseLength(*value);
            if (!number)
                return usageError("invalid value " + shown + " (a finite number, such as 16.5)");
            (name == "--hf" ? options.hf : options.lf) = *number;
        } else {
            if (*value != "text" && *value != "html")
                return usageError("invalid value " + shown + " (text or html)");
            options.html = *value == "html";
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (const auto status = parseArguments(argc, argv, options))
        return *status;
    if (options.help) {
        std::fputs(Usage, stdout);
        return ExitComplete;
    }

    // Documents need fonts, fonts need a GUI application; nothing is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    weld::Input input;
    input.form = options.form;
    input.grade = options.grade;
    input.electrode = options.electrode;
    input.hf = options.hf;
    input.lf = options.lf;

    QTextDocument document;
    TReportView view(&document);
    {
        TJointrix calculation;
        calculation.setCalType(weld::code(input.form));
        calculation.setGrade(weld::code(input.grade));
        calculation.setStyle(weld::code(input.electrode));
        calculation.setCalTypes(weld::displayText(input.form));
        calculation.setGrades(weld::displayText(input.grade));
        calculation.setStyles(weld::displayText(input.electrode));
        calculation.setLf(input.lf);
        calculation.setHf(input.hf);
        calculation.Calculate(&view);
    }

    const QString output = options.html ? document.toHtml() : document.toPlainText();
    const QByteArray bytes = output.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);

    const bool failed = !weld::calculate(input).ok();
    return failed ? ExitCalculationError : ExitComplete;
}
