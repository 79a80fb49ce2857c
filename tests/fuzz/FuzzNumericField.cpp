// The numeric field's PadDecimals, LimitToText and CheckDataValidity with any switches, limits,
// number of decimals and text.
//
// Input: byte 0 holds switches (bit 0: EditInt instead of EditFloat, 1: ShowError,
// 2: SetMaxValue, 3: IncludeLowerLimitValue, 4: IncludeUpperLimitValue, 5: FormatNumPoint,
// 6: CanNegative, 7: MaxValue is MinValue); byte 1 bit 0: the text is UTF-16 code units in
// native byte order instead of Latin-1; bytes 2..5 Mydec (int32), 6..13 MinValue, 14..21
// MaxValue (doubles, native byte order; missing bytes read as 0); the rest is the text.
//
// Invariants (t: the text before the check, n: t after the normalisation of empty text, a lone
// separator and a lone "-" without CanNegative; f: n rewritten as the fixed text of its real
// value with Mydec decimals and 9 digits in a real field with FormatNumPoint, else n):
// - no call lets an exception escape, except LimitToText's numtext::InvalidOperation in a real
//   field;
// - PadDecimals of any text starts with that text, and ends in the separator and Mydec zeros
//   (at most 255) when the text has no separator;
// - with ShowError False the check returns True, shows nothing and leaves t alone;
// - otherwise it returns True with no message, or False with exactly one:
//   - "数据非法！" (never skinned), and the text is then "0";
//   - a range message, the template of the switches with LimitToText of MinValue and MaxValue
//     in its placeholders (so it starts with "请输入"); MinValue differs from MaxValue, and the
//     text is f, which parseInt (whole-number field) or parseReal (real field) accepts;
// - on True the text is f; when MinValue differs from MaxValue the range check ran, so f is a
//   number of the field's kind as above; when they are equal f may be any text, except that
//   in a real field with FormatNumPoint it is a fixed text, which parseReal accepts.

#include "FuzzCheck.h"
#include "FuzzQt.h"
#include "support/MsgBoxRecorder.h"

#include "controls/LxEdit.h"
#include "platform/msgbox/MsgBox.h"
#include "platform/numtext/NumText.h"

#include <QApplication>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr size_t HeaderSize = 22;

// The message templates, word for word, by kind and switches.
QString rangeTemplate(bool real, bool setMax, bool includeLower, bool includeUpper)
{
    if (!setMax)
        return real ? QStringLiteral("请输入大于 %1 的实数！")
                    : QStringLiteral("请输入大于 %1 的整数！");
    if (includeLower && includeUpper)
        return real ? QStringLiteral("请输入 %1 (包含) 到 %2 (包含) 之间的实数！")
                    : QStringLiteral("请输入 %1 (包含) 到 %2 (包含) 之间的整数！");
    if (!includeLower && includeUpper)
        return real ? QStringLiteral("请输入 %1 (不包含) 到 %2 (包含) 之间的实数！")
                    : QStringLiteral("请输入 %1 (不包含) 到 %2 (包含) 之间的整数！");
    if (includeLower)
        return real ? QStringLiteral("请输入 %1 (包含) 到 %2 (不包含) 之间的实数！")
                    : QStringLiteral(
                        "请输入 %1 (包含) 到 %2 (不包含) 之间的整数，包含最小值，不包含最大值！");
    return real ? QStringLiteral("请输入 %1 (不包含) 到 %2 (不包含) 之间的实数！")
                : QStringLiteral("请输入 %1 (不包含) 到 %2 (不包含) 之间的整数！");
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('.') || c == numtext::decimalSeparator();
}

TLxEdit &field()
{
    static TLxEdit edit;
    return edit;
}

msgbox::Recorder *g_recorder = nullptr;

// LimitToText, which may refuse a real field's limit; nullopt then.
std::optional<QString> limitText(const TLxEdit &edit, double limit, const std::string &what)
{
    try {
        const QString text = edit.LimitToText(limit);
        FUZZ_CHECK_WITH(!text.isEmpty(), what);
        return text;
    } catch (const numtext::InvalidOperation &) {
        FUZZ_CHECK_WITH(edit.EditType() == TLxEdit::EditFloat, what);
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    offscreenApplication<QApplication>("fuzz-numeric-field");
    // Every message is kept, none shown: no modal loop ever runs.
    static msgbox::Recorder recorder;
    g_recorder = &recorder;
    field();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t header[HeaderSize] = {};
    std::memcpy(header, data, std::min(size, HeaderSize));
    const uint8_t switches = header[0];
    const bool wide = (header[1] & 1) != 0;
    qint32 mydec = 0;
    double minValue = 0;
    double maxValue = 0;
    std::memcpy(&mydec, header + 2, sizeof mydec);
    std::memcpy(&minValue, header + 6, sizeof minValue);
    std::memcpy(&maxValue, header + 14, sizeof maxValue);
    if ((switches & 0x80) != 0)
        maxValue = minValue;

    const uint8_t *body = data + std::min(size, HeaderSize);
    const size_t bodySize = size - std::min(size, HeaderSize);
    QString input;
    if (wide) {
        input.resize(static_cast<qsizetype>(bodySize / 2));
        std::memcpy(input.data(), body, static_cast<size_t>(input.size()) * 2);
    } else {
        input = QString::fromLatin1(reinterpret_cast<const char *>(body),
                                    static_cast<qsizetype>(bodySize));
    }

    TLxEdit &edit = field();
    const bool whole = (switches & 1) != 0;
    const bool showError = (switches & 2) != 0;
    const bool setMax = (switches & 4) != 0;
    const bool includeLower = (switches & 8) != 0;
    const bool includeUpper = (switches & 16) != 0;
    const bool formatNumPoint = (switches & 32) != 0;
    const bool canNegative = (switches & 64) != 0;
    // FormatNumPoint off first, so the setters below do not rewrite the previous text.
    edit.setFormatNumPoint(false);
    edit.setEditType(whole ? TLxEdit::EditInt : TLxEdit::EditFloat);
    edit.setMydec(mydec);
    edit.setShowError(showError);
    edit.setSetMaxValue(setMax);
    edit.setIncludeLowerLimitValue(includeLower);
    edit.setIncludeUpperLimitValue(includeUpper);
    edit.setFormatNumPoint(formatNumPoint);
    edit.setCanNegative(canNegative);
    edit.setMinValue(minValue);
    edit.setMaxValue(maxValue);
    edit.setText(input);
    FUZZ_CHECK(edit.Mydec() == (mydec <= 0 ? 2 : mydec));
    // The line edit holds at most 32767 characters; the check starts from what it holds.
    const QString held = edit.text();

    const QChar separator = numtext::decimalSeparator();
    const std::string what = "text " + hex(input) + "\n  Mydec " + std::to_string(mydec)
        + ", limits " + std::to_string(minValue) + " " + std::to_string(maxValue) + ", switches "
        + std::to_string(switches);

    // PadDecimals keeps its input and pads a text without separator to Mydec zeros.
    const QString padded = edit.PadDecimals(input);
    FUZZ_CHECK_WITH(padded.startsWith(input), what + "\n  padded " + hex(padded));
    if (std::none_of(input.cbegin(), input.cend(), isSeparator)) {
        const QString zeros(std::min(edit.Mydec(), 255), QLatin1Char('0'));
        FUZZ_CHECK_WITH(padded
                            == (input.isEmpty() ? QStringLiteral("0") : input) + separator + zeros,
                        what + "\n  padded " + hex(padded));
    }

    const std::optional<QString> lowText = limitText(edit, minValue, what);
    const std::optional<QString> highText = limitText(edit, maxValue, what);

    // The text the check leaves after its normalisation and fixed decimals; nullopt when the
    // fixed decimals fail on text that is not a real number.
    const QString trimmed = numtext::trimmed(held);
    QString normalised = held;
    if (trimmed.isEmpty() || (trimmed.size() == 1 && isSeparator(trimmed.front()))
        || (trimmed == QLatin1String("-") && !canNegative)) {
        normalised
            = whole ? QStringLiteral("0") : QStringLiteral("0") + separator + QLatin1Char('0');
    }
    std::optional<QString> fixed = normalised;
    if (!whole && formatNumPoint) {
        const std::optional<double> value = numtext::parseReal(normalised);
        fixed = value ? std::optional(numtext::fixedText(*value, edit.Mydec(), 9)) : std::nullopt;
    }

    g_recorder->clear();
    const bool passed = edit.CheckDataValidity();
    const QString after = edit.text();
    const std::string result = what + "\n  result " + (passed ? "true" : "false") + ", text "
        + hex(after) + ", messages " + std::to_string(g_recorder->requests.size());

    if (!showError) {
        FUZZ_CHECK_WITH(passed && g_recorder->isEmpty() && after == held, result);
        return 0;
    }
    const auto holdsNumber = [&](const QString &text) {
        return whole ? numtext::parseInt(text).has_value() : numtext::parseReal(text).has_value();
    };
    if (passed) {
        FUZZ_CHECK_WITH(g_recorder->isEmpty(), result);
        FUZZ_CHECK_WITH(fixed && after == *fixed, result);
        if (minValue != maxValue || (!whole && formatNumPoint))
            FUZZ_CHECK_WITH(holdsNumber(after), result);
        return 0;
    }

    FUZZ_CHECK_WITH(g_recorder->requests.size() == 1, result);
    const msgbox::Request &request = g_recorder->requests.front();
    FUZZ_CHECK_WITH(request.title == QStringLiteral("提示信息") && !request.skinned, result);
    if (request.text == QStringLiteral("数据非法！")) {
        FUZZ_CHECK_WITH(after == QStringLiteral("0"), result);
        return 0;
    }
    FUZZ_CHECK_WITH(request.text.startsWith(QStringLiteral("请输入")),
                    result + "\n  message " + request.text.toStdString());
    FUZZ_CHECK_WITH(minValue != maxValue && lowText && highText, result);
    const QString message = setMax
        ? rangeTemplate(!whole, setMax, includeLower, includeUpper).arg(*lowText, *highText)
        : rangeTemplate(!whole, setMax, includeLower, includeUpper).arg(*lowText);
    FUZZ_CHECK_WITH(request.text == message,
                    result + "\n  message " + request.text.toStdString() + "\n  expected "
                        + message.toStdString());
    FUZZ_CHECK_WITH(fixed && after == *fixed && holdsNumber(after), result);
    return 0;
}
