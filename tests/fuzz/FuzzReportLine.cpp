// The report writer's AppendLine on any UTF-16 lines, into a QTextDocument through TReportView.
//
// Input: UTF-16 code units (native byte order; an odd last byte is ignored), split into up to
// four lines at U+FFFF, appended one after the other to a view that Calculate has prepared.
//
// Invariants, stated on QTextDocument::toRawText(), which keeps every character as stored
// (toPlainText would map U+2029, U+2028 and U+00A0): for each line, with
// converted = codepage::roundTrip936(line) and plain = converted without "$" and "#",
// - the line begins at the end of the former text: ScanMarkup's base equals its length;
// - the raw text becomes the former raw text, then plain with each character that Qt stores as
//   a paragraph break (CR, LF, U+2029, U+FDD0, U+FDD1; only CR and LF pass the code page)
//   replaced by U+2029 one for one, then one U+2029: every character of the line is one
//   position, as the writer counts them;
// - every range that ScanMarkup gives for the converted line lies inside the new line;
// - every character of the document (old lines included) is superscript when a "#" range
//   covers it, else subscript when a "$" range does, else normal;
// - afterwards the line start of the line count is the end of the text, where the next line
//   begins.

#include "FuzzCheck.h"
#include "FuzzQt.h"

#include "platform/codepage/CodePage.h"
#include "report/uBaseClass.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr char16_t LineSplit = 0xffff;
constexpr int MaxLines = 4;
constexpr QChar Break = QChar::ParagraphSeparator;

bool isStoredAsBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::ParagraphSeparator
        || c.unicode() == 0xfdd0 || c.unicode() == 0xfdd1;
}

void checkLine(TReportView &view, const QString &line,
               std::vector<QTextCharFormat::VerticalAlignment> &expected)
{
    QTextDocument *document = view.document();
    const QString before = document->toRawText();
    const int base = view.lineStart(view.lineCount());
    const std::string what = "line " + hex(line);
    FUZZ_CHECK_WITH(base == before.size() && base == view.textLength(), what);

    const QString converted = codepage::roundTrip936(line);
    TextStyles styles;
    TLxobj::ScanMarkup(converted, QLatin1Char('$'), QLatin1Char('#'), base, styles);
    TLxobj::ScanMarkup(converted, QLatin1Char('#'), QLatin1Char('$'), base, styles);
    QString plain;
    for (const QChar c : converted) {
        if (c != QLatin1Char('$') && c != QLatin1Char('#'))
            plain += isStoredAsBreak(c) ? Break : c;
    }

    TLxobj::AppendLine(&view, line);

    const QString after = document->toRawText();
    FUZZ_CHECK_WITH(after == before + plain + Break,
                    what + "\n  expected " + hex(plain) + "\n  gained   " + hex(after.mid(base)));

    expected.resize(static_cast<size_t>(after.size()), QTextCharFormat::AlignNormal);
    for (const TextStyle &style : std::as_const(styles)) {
        FUZZ_CHECK_WITH(style.Start >= base && style.Length >= 0
                            && style.Start + style.Length <= base + plain.size(),
                        what);
        const auto script = style.Script == 1 ? QTextCharFormat::AlignSubScript
                                              : QTextCharFormat::AlignSuperScript;
        for (int p = style.Start; p < style.Start + style.Length; ++p) {
            auto &slot = expected[static_cast<size_t>(p)];
            if (slot != QTextCharFormat::AlignSuperScript)
                slot = script;
        }
    }

    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const auto alignment = fragment.charFormat().verticalAlignment();
            for (int p = fragment.position(); p < fragment.position() + fragment.length(); ++p) {
                if (after[p] == Break)
                    continue;
                FUZZ_CHECK_WITH(alignment == expected[static_cast<size_t>(p)],
                                what + "\n  position " + std::to_string(p));
            }
        }
    }

    FUZZ_CHECK_WITH(view.lineStart(view.lineCount()) == view.textLength(), what);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    offscreenApplication<QGuiApplication>("fuzz-report-line");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<char16_t> units(size / 2);
    if (!units.empty())
        std::memcpy(units.data(), data, units.size() * sizeof(char16_t));

    QTextDocument document;
    TReportView view(&document);
    TLxobj calculation;
    calculation.Calculate(&view);
    std::vector<QTextCharFormat::VerticalAlignment> expected;

    size_t from = 0;
    for (int n = 0; n < MaxLines && from <= units.size(); ++n) {
        size_t end = from;
        while (end < units.size() && units[end] != LineSplit)
            ++end;
        // Not QString::fromUtf16, which would take a leading U+FEFF or U+FFFE as a byte order mark.
        const QString line(reinterpret_cast<const QChar *>(units.data() + from),
                           static_cast<qsizetype>(end - from));
        checkLine(view, line, expected);
        from = end + 1;
    }
    return 0;
}
