// The text-to-number conversions on any text.
//
// Input: one byte of switches (bit 0: "," as the separator instead of "."; bit 1: the rest is
// UTF-16 code units in native byte order instead of Latin-1), then the text.
//
// Invariants:
// - parseReal accepts exactly the texts of the form: blanks, an optional sign, digits with at
//   most one separator (at least one digit), an optional exponent, blanks; an accepted text
//   gives the double that the C library's strtod gives for it, sign of zero included; a text
//   that strtod takes beyond the double range is refused;
// - a parsed real written with generalText(value, 17) parses back to the same double;
// - parseInt accepts exactly blanks, an optional sign, digits, blanks, within the signed 32-bit
//   range, with the value strtoll gives; QString::number of it parses back to it;
// - trimmed() takes off exactly the leading and trailing characters up to U+0020.

#include "FuzzCheck.h"
#include "FuzzQt.h"

#include "platform/numtext/NumText.h"

#include <QRegularExpression>
#include <QString>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

QRegularExpression realPattern(QChar separator)
{
    const QString s = QRegularExpression::escape(QString(separator));
    return QRegularExpression(QStringLiteral("\\A *[+-]?(?:[0-9]+(?:%1[0-9]*)?|%1[0-9]+)"
                                             "(?:[eE][+-]?[0-9]+)? *\\z")
                                  .arg(s));
}

// The accepted text in the C library's own form: no blanks, "." as the separator.
std::string cForm(const QString &text, QChar separator)
{
    std::string out;
    for (const QChar c : text) {
        if (c == QLatin1Char(' '))
            continue;
        out += c == separator ? '.' : static_cast<char>(c.unicode());
    }
    return out;
}

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

void checkReal(const QString &text, QChar separator)
{
    static const QRegularExpression point = realPattern(QLatin1Char('.'));
    static const QRegularExpression comma = realPattern(QLatin1Char(','));
    const QRegularExpression &pattern = separator == QLatin1Char('.') ? point : comma;

    const std::optional<double> parsed = numtext::parseReal(text, separator);
    const std::string what = "text " + hex(text);
    if (!pattern.match(text).hasMatch()) {
        FUZZ_CHECK_WITH(!parsed, what);
        return;
    }
    const std::string c = cForm(text, separator);
    errno = 0;
    const double reference = strtod_l(c.c_str(), nullptr, cLocale());
    if (std::isinf(reference)) {
        FUZZ_CHECK_WITH(!parsed, what);
        return;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "\n  strtod %a", reference);
    FUZZ_CHECK_WITH(parsed && *parsed == reference
                        && std::signbit(*parsed) == std::signbit(reference),
                    what + buffer);

    const QString written = numtext::generalText(*parsed, 17, separator);
    const std::optional<double> again = numtext::parseReal(written, separator);
    FUZZ_CHECK_WITH(again && *again == *parsed, what + " written " + written.toStdString());
}

void checkInt(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("\\A *[+-]?[0-9]+ *\\z"));
    const std::optional<qint32> parsed = numtext::parseInt(text);
    const std::string what = "text " + hex(text);
    if (!pattern.match(text).hasMatch()) {
        FUZZ_CHECK_WITH(!parsed, what);
        return;
    }
    const std::string c = cForm(text, QLatin1Char('.'));
    errno = 0;
    const long long reference = std::strtoll(c.c_str(), nullptr, 10);
    const bool inRange = errno != ERANGE && reference >= std::numeric_limits<qint32>::min()
        && reference <= std::numeric_limits<qint32>::max();
    if (!inRange) {
        FUZZ_CHECK_WITH(!parsed, what);
        return;
    }
    FUZZ_CHECK_WITH(parsed && *parsed == reference, what);
    FUZZ_CHECK_WITH(numtext::parseInt(QString::number(*parsed)) == parsed, what);
}

void checkTrimmed(const QString &text)
{
    const QString result = numtext::trimmed(text);
    const auto isTrimmed = [](QChar c) { return c <= QLatin1Char(' '); };
    qsizetype first = 0;
    while (first < text.size() && isTrimmed(text[first]))
        ++first;
    const std::string what = "text " + hex(text);
    FUZZ_CHECK_WITH(result == text.mid(first, result.size()), what);
    FUZZ_CHECK_WITH(result.isEmpty() || !isTrimmed(result.back()), what);
    for (qsizetype i = first + result.size(); i < text.size(); ++i)
        FUZZ_CHECK_WITH(isTrimmed(text[i]), what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t switches = data[0];
    ++data;
    --size;
    const QChar separator = (switches & 1) != 0 ? QLatin1Char(',') : QLatin1Char('.');
    QString text;
    if ((switches & 2) != 0) {
        std::vector<char16_t> units(size / 2);
        if (!units.empty())
            std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
        text = QString(reinterpret_cast<const QChar *>(units.data()),
                       static_cast<qsizetype>(units.size()));
    } else {
        text = QString::fromLatin1(reinterpret_cast<const char *>(data),
                                   static_cast<qsizetype>(size));
    }

    checkReal(text, separator);
    checkInt(text);
    checkTrimmed(text);
    return 0;
}
