#include "platform/numtext/NumText.h"

#include <QLocale>

#include <algorithm>
#include <array>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace numtext {

InvalidOperation::InvalidOperation()
    : std::domain_error("floating-point invalid operation")
{ }

QChar decimalSeparator()
{
    static const QChar separator = [] {
        const QString point = QLocale::system().decimalPoint();
        return point.isEmpty() ? QLatin1Char('.') : point.front();
    }();
    return separator;
}

namespace {

constexpr int FormDigits = 18;

// A finite, non-zero magnitude written as 0.d1...dk x 10^exponent.
struct Digits
{
    char digit[FormDigits + 1] = {};
    int count = 0;
    int exponent = 0;
};

Digits formDigits(long double magnitude)
{
    // glibc rounds exactly on the binary value, so this is the value at 18 significant
    // digits, rounded to nearest.
    char buffer[64];
    const auto asDouble = static_cast<double>(magnitude);
    // A whole number of at most 18 digits is its own digits: loads, lengths and table strengths
    // mostly are. The test stays in double arithmetic, which is several times quicker than
    // the extended type's rounding to a whole number.
    const auto whole = static_cast<long long>(asDouble < 1e18 ? asDouble : 0);
    if (whole != 0 && static_cast<long double>(whole) == magnitude) {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, whole);
        Digits d;
        d.count = static_cast<int>(result.ptr - buffer);
        std::copy(buffer, result.ptr, d.digit);
        d.exponent = d.count;
        return d;
    }
    if (static_cast<long double>(asDouble) == magnitude) {
        // Most values are doubles; the library's shortest-path formatter writes their exact
        // digits several times faster than printf does for an extended value.
        const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, asDouble,
                                          std::chars_format::scientific, FormDigits - 1);
        *result.ptr = '\0';
    } else {
        std::snprintf(buffer, sizeof buffer, "%.*Le", FormDigits - 1, magnitude);
    }
    Digits d;
    d.digit[d.count++] = buffer[0];
    const char *p = buffer + 2;
    while (*p >= '0' && *p <= '9')
        d.digit[d.count++] = *p++;
    d.exponent = std::atoi(p + 1) + 1;
    return d;
}

void dropTrailingZeros(Digits &d)
{
    while (d.count > 0 && d.digit[d.count - 1] == '0')
        --d.count;
}

// Keeps `keep` leading digits, rounding up in magnitude when the first dropped digit is 5 or
// more. A carry out of the first digit raises the exponent; nothing left means zero.
void cutDigits(Digits &d, int keep)
{
    if (keep >= d.count)
        return;
    if (keep < 0) {
        d.count = 0;
        return;
    }
    const bool up = d.digit[keep] >= '5';
    d.count = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digit[i] == '9')
            d.digit[i--] = '0';
        if (i >= 0) {
            ++d.digit[i];
        } else {
            // All kept digits were nines (or none were kept): the value becomes 10^exponent.
            d.digit[0] = '1';
            d.count = 1;
            ++d.exponent;
        }
    }
    dropTrailingZeros(d);
}

QString nonFiniteText(long double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

} // namespace

QString generalText(long double value, int precision, QChar separator)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (value == 0)
        return QStringLiteral("0");
    precision = std::clamp(precision, 1, FormDigits);

    Digits d = formDigits(std::fabs(value));
    dropTrailingZeros(d);
    cutDigits(d, precision);

    // Composed in place: at most a sign, 18 digits, 3 leading zeros, a separator and an
    // exponent of five characters.
    char16_t buffer[48];
    char16_t *out = buffer;
    const auto put = [&out](char c) { *out++ = static_cast<char16_t>(c); };
    const auto putDigits = [&put](const char *from, int count) {
        for (int i = 0; i < count; ++i)
            put(from[i]);
    };
    if (value < 0)
        put('-');
    const int e = d.exponent;
    if (e >= -3 && e <= precision) {
        if (e <= 0) {
            put('0');
            *out++ = separator.unicode();
            for (int i = 0; i < -e; ++i)
                put('0');
            putDigits(d.digit, d.count);
        } else {
            putDigits(d.digit, std::min(e, d.count));
            for (int i = d.count; i < e; ++i)
                put('0');
            if (d.count > e) {
                *out++ = separator.unicode();
                putDigits(d.digit + e, d.count - e);
            }
        }
    } else {
        put(d.digit[0]);
        if (d.count > 1) {
            *out++ = separator.unicode();
            putDigits(d.digit + 1, d.count - 1);
        }
        put('E');
        char exponent[8];
        const auto written = std::to_chars(exponent, exponent + sizeof exponent, e - 1);
        putDigits(exponent, static_cast<int>(written.ptr - exponent));
    }
    return QString(reinterpret_cast<const QChar *>(buffer), out - buffer);
}

QString fixedText(long double value, int decimals, int precision, QChar separator)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    decimals = std::clamp(decimals, 0, FormDigits);
    precision = std::clamp(precision, 1, FormDigits);

    Digits d;
    if (value != 0) {
        d = formDigits(std::fabs(value));
        dropTrailingZeros(d);
        cutDigits(d, precision);
        if (d.exponent > precision)
            return generalText(value, precision, separator);
        cutDigits(d, d.exponent + decimals);
    }

    QString out;
    out.reserve(32);
    if (value < 0 && d.count > 0)
        out += QLatin1Char('-');
    // digitAt(i): the digit for 10^(exponent - 1 - i), zero outside the kept digits.
    const auto digitAt = [&d](int i) {
        return i >= 0 && i < d.count ? QLatin1Char(d.digit[i]) : QLatin1Char('0');
    };
    const int e = d.count > 0 ? d.exponent : 0;
    if (e <= 0) {
        out += QLatin1Char('0');
    } else {
        for (int i = 0; i < e; ++i)
            out += digitAt(i);
    }
    if (decimals > 0) {
        out += separator;
        for (int i = 0; i < decimals; ++i)
            out += digitAt(e + i);
    }
    return out;
}

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Strips the optional blanks on both sides.
QStringView stripBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The decimal exponent of the leading non-zero digit of a non-zero number written as
// [-]digits[.digits][e[+-]digits]; a written exponent of any length saturates far beyond the
// range of every floating-point type.
long decimalExponent(const std::string &ascii)
{
    constexpr long Saturation = 1'000'000'000;
    size_t i = ascii.front() == '-' ? 1 : 0;
    long leading = 0;
    long integerDigits = 0;
    long fractionDigits = 0;
    bool found = false;
    bool afterPoint = false;
    for (; i < ascii.size() && ascii[i] != 'e'; ++i) {
        const char c = ascii[i];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        afterPoint ? ++fractionDigits : ++integerDigits;
        if (!found && c != '0') {
            found = true;
            leading = afterPoint ? -fractionDigits : integerDigits;
        }
    }
    // For a leading digit in the integer part, `leading` counts digits up to it; the digits
    // after it raise the exponent.
    long exponent = leading > 0 ? integerDigits - leading : leading;
    if (i < ascii.size()) {
        ++i;
        const bool negative = i < ascii.size() && ascii[i] == '-';
        if (i < ascii.size() && (ascii[i] == '-' || ascii[i] == '+'))
            ++i;
        long written = 0;
        for (; i < ascii.size(); ++i)
            written = std::min(written * 10 + (ascii[i] - '0'), Saturation);
        exponent += negative ? -written : written;
    }
    return exponent;
}

} // namespace

std::optional<double> parseReal(QStringView text, QChar separator)
{
    const QStringView t = stripBlanks(text);
    std::string ascii;
    ascii.reserve(static_cast<size_t>(t.size()));
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        if (t[i] == QLatin1Char('-'))
            ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool seenSeparator = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (isDigit(c)) {
            ascii += static_cast<char>(c.unicode());
            ++mantissaDigits;
        } else if (c == separator && !seenSeparator) {
            ascii += '.';
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < t.size()) {
        if (t[i] != QLatin1Char('e') && t[i] != QLatin1Char('E'))
            return std::nullopt;
        ascii += 'e';
        ++i;
        if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            ascii += static_cast<char>(t[i++].unicode());
        int exponentDigits = 0;
        for (; i < t.size() && isDigit(t[i]); ++i, ++exponentDigits)
            ascii += static_cast<char>(t[i].unicode());
        if (exponentDigits == 0 || i != t.size())
            return std::nullopt;
    }

    const char *first = ascii.data();
    const char *last = first + ascii.size();
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc() && ptr == last)
        return value;
    // Out of range: below 1 it is an underflow to zero, otherwise an overflow. The wider type
    // cannot tell them apart, since it runs out of range itself beyond about 10^4932.
    if (ec == std::errc::result_out_of_range && decimalExponent(ascii) < 0)
        return ascii.front() == '-' ? -0.0 : 0.0;
    return std::nullopt;
}

std::optional<qint32> parseInt(QStringView text)
{
    const QStringView t = stripBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < t.size(); ++i) {
        if (!isDigit(t[i]))
            return std::nullopt;
        magnitude = magnitude * 10 + (t[i].unicode() - '0');
        if (magnitude > qint64(1) << 31)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return static_cast<qint32>(value);
}

namespace {

// 10^n by repeated squaring in extended precision; exact up to 10^27.
long double powerOfTen(unsigned n)
{
    long double result = 1;
    long double base = 10;
    while (n != 0) {
        if (n & 1U)
            result *= base;
        base *= base;
        n >>= 1U;
    }
    return result;
}

// 10^-decimals as the double nearest to it.
double roundingFactor(int decimals)
{
    return decimals >= 0 ? static_cast<double>(1.0L / powerOfTen(static_cast<unsigned>(decimals)))
                         : static_cast<double>(powerOfTen(static_cast<unsigned>(-decimals)));
}

} // namespace

std::optional<double> tryRoundToDecimals(double value, int decimals)
{
    // Every count of decimals a report can ask for, formed once: the extended division that
    // forms a factor costs as much as the rounding itself.
    constexpr std::size_t TableSize = 256;
    constexpr int TableEnd = TableSize / 2;
    static const std::array<double, TableSize> factors = [] {
        std::array<double, TableSize> table {};
        for (std::size_t i = 0; i < TableSize; ++i)
            table[i] = roundingFactor(static_cast<int>(i) - TableEnd);
        return table;
    }();
    const double factor = decimals >= -TableEnd && decimals < TableEnd
        ? factors[decimals + TableEnd]
        : roundingFactor(decimals);
    if (!std::isfinite(value) || factor == 0)
        return std::nullopt;
    const long double q = static_cast<long double>(value) / static_cast<long double>(factor);
    // The default rounding mode rounds halves to the even neighbour. rint rounds exactly as
    // nearbyint does; it only may raise the inexact flag, which nothing here reads, and it
    // needs no save and restore of the floating-point environment.
    const long double n = std::rint(q);
    constexpr long double Limit = 9223372036854775808.0L; // 2^63
    if (!(n >= -Limit && n < Limit))
        return std::nullopt;
    const auto whole = static_cast<qint64>(n);
    return static_cast<double>(static_cast<long double>(whole) * static_cast<long double>(factor));
}

double roundToDecimals(double value, int decimals)
{
    if (const std::optional<double> rounded = tryRoundToDecimals(value, decimals))
        return *rounded;
    throw InvalidOperation();
}

QString trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] <= QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] <= QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin).toString();
}

} // namespace numtext
