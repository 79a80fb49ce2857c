#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>
#include <stdexcept>

// Number text shared by the report writer and the numeric edit control: the general number
// text, the fixed text, the text-to-number conversions and the binary rounding to decimals.
// Everything here is pure and needs no QCoreApplication.
namespace numtext {

// The floating-point invalid-operation error: a value that is not finite or whose scaled
// quotient does not fit a signed 64-bit integer.
class InvalidOperation : public std::domain_error
{
public:
    InvalidOperation();
};

// The decimal separator of the user's locale, read once per process; "." when the locale
// gives none. Reading it once matches how the rest of the system treats locale settings:
// a change while the process runs is not followed.
QChar decimalSeparator();

// General number text with `precision` significant digits (1 to 18): digits formed at 18
// significant digits, cut to `precision` rounding half up in magnitude, trailing zeros dropped;
// fixed notation for decimal exponents -3..precision, "dE-n" exponent form otherwise.
// Non-finite values give "NAN", "INF" or "-INF".
QString generalText(long double value, int precision = 15, QChar separator = decimalSeparator());

// Fixed text: rounded first to `precision` significant digits, then half up to `decimals`
// decimals (capped at 18), written with exactly that many decimals; a value with more than
// `precision` integer digits falls back to generalText(value, precision).
QString fixedText(long double value, int decimals, int precision,
                  QChar separator = decimalSeparator());

// A real number: optional blanks, an optional sign, decimal digits with at most one
// `separator` (at least one digit in all), an optional exponent ("e" or "E", an optional sign,
// digits), optional blanks. The nearest double; a magnitude beyond the double range is not a
// number, one below its smallest subnormal is zero.
std::optional<double> parseReal(QStringView text, QChar separator = decimalSeparator());

// A whole number: optional blanks, an optional sign, decimal digits, optional blanks, within
// the signed 32-bit range. No hexadecimal or other forms.
std::optional<qint32> parseInt(QStringView text);

// Rounds `value` to `decimals` decimal places on its binary value: the quotient by 10^-decimals
// is taken in extended precision and rounded half to even to a signed 64-bit integer, then
// scaled back and rounded to a double. Throws InvalidOperation when the value is not finite,
// the factor 10^-decimals is no longer a non-zero double, or the quotient lies outside the
// signed 64-bit range.
double roundToDecimals(double value, int decimals);
// The same without the exception: nothing where roundToDecimals throws.
std::optional<double> tryRoundToDecimals(double value, int decimals);

// Trims leading and trailing blanks and control characters (everything up to U+0020).
QString trimmed(QStringView text);

} // namespace numtext
