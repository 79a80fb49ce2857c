// jointrix-calc: the weld-connection capacity report on the command line, written by the same
// calculation object and report writer as the window, into a document that is then printed.

#include "calc/U_Class.h"
#include "platform/numtext/NumText.h"

#include <QGuiApplication>
#include <QTextBlock>
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

struct Choice
{
    const char *name;
    const char16_t *text;
};

const Choice Forms[] = {
    {"single", u"单边角焊缝"},
    {"double", u"双边角焊缝"},
    {"butt", u"平焊缝连接"},
    {"lap", u"搭接焊缝连接"},
};
const Choice Grades[] = {{"1", u"一级"}, {"2", u"二级"}, {"3", u"三级"}};
const Choice Electrodes[] = {{"E43", u"E43型"}, {"E50", u"E50型"}, {"E55", u"E55型"}};

template<size_t N> std::optional<int> findChoice(const Choice (&choices)[N], std::string_view value)
{
    for (size_t i = 0; i < N; ++i) {
        if (value == choices[i].name)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

struct Options
{
    int form = 0;
    int grade = 0;
    int electrode = 0;
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
            const auto form = findChoice(Forms, *value);
            if (!form)
                return usageError("invalid value " + shown + " (single, double, butt or lap)");
            options.form = *form;
        } else if (name == "--grade") {
            const auto grade = findChoice(Grades, *value);
            if (!grade)
                return usageError("invalid value " + shown + " (1, 2 or 3)");
            options.grade = *grade;
        } else if (name == "--electrode") {
            const auto electrode = findChoice(Electrodes, *value);
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

    QTextDocument document;
    TReportView view(&document);
    {
        TJointrix calculation;
        calculation.setCalType(options.form);
        calculation.setGrade(options.grade);
        calculation.setStyle(options.electrode);
        calculation.setCalTypes(QString::fromUtf16(Forms[options.form].text));
        calculation.setGrades(QString::fromUtf16(Grades[options.grade].text));
        calculation.setStyles(QString::fromUtf16(Electrodes[options.electrode].text));
        calculation.setLf(options.lf);
        calculation.setHf(options.hf);
        calculation.Calculate(&view);
    }

    const QString output = options.html ? document.toHtml() : document.toPlainText();
    const QByteArray bytes = output.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);

    const int lines = view.lineCount();
    const bool failed = lines > 0 && document.findBlockByNumber(lines - 1).text() == CalcErrorText;
    return failed ? ExitCalculationError : ExitComplete;
}
