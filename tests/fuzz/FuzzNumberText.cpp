// FormatNumber and the general number text on any double.
//
// Input: 8 bytes of a double (native byte order), then one byte for the decimals (-20 to 40)
// and one for the general text's precision (1 to 18) and separator; missing bytes are zero.
//
// Invariants:
// - FormatNumber(value, decimals) raises numtext::InvalidOperation exactly when the value is
//   not finite or |value| x 10^decimals reaches 2^63 (with a margin for the rounding of the
//   quotient); otherwise its text has no sign, at most 15 significant digits, and parses back
//   (numtext::parseReal with the same separator) to |roundToDecimals(value, decimals)| within
//   half a unit of the 15th digit (plus the 18-digit forming step and the parse's own rounding).
//   The rounded value lies within half a step of 10^-decimals of the value.
// - generalText(value, precision, separator) is "NAN", "INF" or "-INF" for a value that is not
//   finite; otherwise it has the value's sign, at most `precision` significant digits, no
//   trailing zero after the separator, and parses back to the value within the same bound;
//   only a value so near the largest double that its cut text lies beyond it may not parse.

#include "FuzzCheck.h"

#include "platform/numtext/NumText.h"
#include "report/uBaseClass.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace {

struct Shape
{
    bool valid = false;
    bool negative = false;
    int significant = 0;
};

// Reads [-]digits[S digits][E[-]digits] and counts the mantissa's significant digits.
Shape shapeOf(QStringView text, QChar separator)
{
    Shape shape;
    qsizetype i = 0;
    const auto isDigit = [&text](qsizetype at) {
        return at < text.size() && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9');
    };
    if (i < text.size() && text[i] == QLatin1Char('-')) {
        shape.negative = true;
        ++i;
    }
    if (!isDigit(i))
        return shape;
    bool leadingZeros = true;
    bool afterSeparator = false;
    QChar last;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == separator && !afterSeparator && isDigit(i + 1)) {
            afterSeparator = true;
            continue;
        }
        if (!isDigit(i))
            break;
        if (c != QLatin1Char('0'))
            leadingZeros = false;
        if (!leadingZeros)
            ++shape.significant;
        last = c;
    }
    if (afterSeparator && last == QLatin1Char('0'))
        return shape;
    if (i < text.size()) {
        if (text[i] != QLatin1Char('E'))
            return shape;
        ++i;
        if (i < text.size() && text[i] == QLatin1Char('-'))
            ++i;
        if (!isDigit(i))
            return shape;
        while (isDigit(i))
            ++i;
        if (i != text.size())
            return shape;
    }
    shape.valid = true;
    return shape;
}

long double powerOfTen(int n)
{
    return std::pow(10.0L, static_cast<long double>(n));
}

// |parsed - exact| within half a unit of the `precision`-th significant digit of `exact`, plus
// half a unit of the 18th (the digits are formed at 18 before they are cut) and one unit in
// the last place of the parsed double.
bool closeEnough(double parsed, long double exact, int precision)
{
    exact = std::fabs(exact);
    const long double magnitude = std::fabs(static_cast<long double>(parsed));
    if (exact == 0)
        return magnitude == 0;
    int e = static_cast<int>(std::floor(std::log10(exact)));
    if (powerOfTen(e + 1) <= exact)
        ++e;
    if (powerOfTen(e) > exact)
        --e;
    const auto ulp = static_cast<long double>(
        std::nextafter(std::fabs(parsed), std::numeric_limits<double>::infinity())
        - std::fabs(parsed));
    const long double bound
        = (0.5L * powerOfTen(e + 1 - precision) + 0.5L * powerOfTen(e - 17)) * (1 + 1e-12L) + ulp;
    return std::fabs(magnitude - exact) <= bound;
}

std::string describe(double value, int decimals, int precision, const QString &text)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "value %.17g (%a), decimals %d, precision %d, text \"",
                  value, value, decimals, precision);
    return buffer + text.toStdString() + "\"";
}

void checkFormatNumber(double value, int decimals)
{
    constexpr long double Limit = 9223372036854775808.0L; // 2^63
    const long double scaled = std::fabs(static_cast<long double>(value)) * powerOfTen(decimals);
    QString text;
    bool invalid = false;
    try {
        text = TLxobj::FormatNumber(value, static_cast<qint8>(decimals));
    } catch (const numtext::InvalidOperation &) {
        invalid = true;
    }
    const std::string what = describe(value, decimals, 15, text);
    if (invalid) {
        FUZZ_CHECK_WITH(!std::isfinite(value) || scaled >= Limit * (1 - 1e-12L), what);
        return;
    }
    FUZZ_CHECK_WITH(std::isfinite(value) && scaled < Limit * (1 + 1e-12L), what);

    const double rounded = numtext::roundToDecimals(value, decimals);
    const long double step = powerOfTen(-decimals);
    FUZZ_CHECK_WITH(std::fabs(static_cast<long double>(rounded) - value)
                        <= 0.5L * step * (1 + 1e-9L) + 4e-16L * std::fabs(value)
                            + std::numeric_limits<double>::denorm_min(),
                    what);

    const QChar separator = numtext::decimalSeparator();
    const Shape shape = shapeOf(text, separator);
    FUZZ_CHECK_WITH(shape.valid && !shape.negative && shape.significant <= 15, what);
    const std::optional<double> parsed = numtext::parseReal(text, separator);
    FUZZ_CHECK_WITH(parsed && closeEnough(*parsed, std::fabs(rounded), 15), what);
}

void checkGeneralText(double value, int precision, QChar separator)
{
    const QString text = numtext::generalText(value, precision, separator);
    const std::string what = describe(value, 0, precision, text);
    if (std::isnan(value)) {
        FUZZ_CHECK_WITH(text == QLatin1String("NAN"), what);
        return;
    }
    if (std::isinf(value)) {
        FUZZ_CHECK_WITH(text == (value < 0 ? QLatin1String("-INF") : QLatin1String("INF")), what);
        return;
    }
    const Shape shape = shapeOf(text, separator);
    FUZZ_CHECK_WITH(shape.valid && shape.negative == (value < 0) && shape.significant <= precision,
                    what);
    const std::optional<double> parsed = numtext::parseReal(text, separator);
    if (!parsed) {
        // Cut to few digits, a value near the largest double can round up beyond it: a sound
        // text that no double holds, which the parse rightly refuses.
        constexpr long double Largest = std::numeric_limits<double>::max();
        FUZZ_CHECK_WITH(std::fabs(value) * (1 + 0.5L * powerOfTen(1 - precision)) > Largest, what);
        return;
    }
    FUZZ_CHECK_WITH(std::signbit(*parsed) == (value < 0) && closeEnough(*parsed, value, precision),
                    what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t bytes[10] = {};
    std::memcpy(bytes, data, std::min(size, sizeof bytes));
    double value = 0;
    std::memcpy(&value, bytes, sizeof value);
    const int decimals = bytes[8] % 61 - 20;
    const int precision = bytes[9] % 18 + 1;
    const QChar separator = (bytes[9] & 0x80) != 0 ? QLatin1Char(',') : QLatin1Char('.');

    checkFormatNumber(value, decimals);
    checkGeneralText(value, precision, separator);
    return 0;
}
