#include "report/uBaseClass.h"

#include "platform/codepage/CodePage.h"
#include "platform/numtext/NumText.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

constexpr QChar SubscriptMarker = QLatin1Char('$');
constexpr QChar SuperscriptMarker = QLatin1Char('#');
constexpr int Gb2312Charset = 134;

QString reportFontName()
{
    return QStringLiteral("Times New Roman");
}

} // namespace

// --- TReportView ---------------------------------------------------------------------------

TReportView::TReportView(QTextDocument *document)
    : m_document(document)
    , m_cursor(document)
{ }

TReportView::~TReportView() = default;

QTextCursor TReportView::cursor() const
{
    return m_cursor;
}

void TReportView::setCursor(const QTextCursor &cursor)
{
    m_cursor = cursor;
}

void TReportView::clear()
{
    // QTextDocument::clear() keeps every cursor on the document, collapsed at 0, so the
    // editor's own cursor survives too.
    m_document->clear();
    QTextCursor c = cursor();
    c.setPosition(0);
    setCursor(c);
}

void TReportView::setParagraphAlignment(Qt::Alignment alignment)
{
    QTextCursor c = cursor();
    QTextBlockFormat format;
    format.setAlignment(alignment);
    c.mergeBlockFormat(format);
    setCursor(c);
}

int TReportView::lineCount() const
{
    const int blocks = m_document->blockCount();
    return m_document->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

int TReportView::lineStart(int line) const
{
    if (line >= 0 && line < m_document->blockCount())
        return m_document->findBlockByNumber(line).position();
    return textLength();
}

void TReportView::appendLine(const QString &text)
{
    QTextCursor c = cursor();
    const QTextCharFormat format = c.charFormat();
    c.clearSelection();
    c.movePosition(QTextCursor::End);
    // QTextCursor::insertText makes one paragraph break of a CR LF pair, which would shift
    // every position after it by one against the writer's count of one per character; inserting
    // the pair in two pieces gives each of the two its own break.
    qsizetype from = 0;
    for (qsizetype pair = text.indexOf(QLatin1String("\r\n")); pair >= 0;
         pair = text.indexOf(QLatin1String("\r\n"), pair + 1)) {
        c.insertText(text.mid(from, pair + 1 - from), format);
        from = pair + 1;
    }
    c.insertText(text.mid(from), format);
    c.insertBlock(c.blockFormat(), format);
    setCursor(c);
}

QString TReportView::text() const
{
    return m_document->toPlainText();
}

int TReportView::textLength() const
{
    return m_document->characterCount() - 1;
}

int TReportView::selStart() const
{
    return cursor().selectionStart();
}

int TReportView::selLength() const
{
    const QTextCursor c = cursor();
    return c.selectionEnd() - c.selectionStart();
}

void TReportView::setSelStart(int position)
{
    QTextCursor c = cursor();
    c.setPosition(std::clamp(position, 0, textLength()));
    setCursor(c);
}

void TReportView::setSelLength(int length)
{
    QTextCursor c = cursor();
    const int start = c.selectionStart();
    const int end = std::clamp(start + std::max(length, 0), start, textLength());
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setCursor(c);
}

TTextAttributes TReportView::selAttributes()
{
    return TTextAttributes(this);
}

void TReportView::setSelScript(TScriptEffect effect)
{
    QTextCharFormat format;
    switch (effect) {
    case TScriptEffect::Subscript:
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        break;
    case TScriptEffect::Superscript:
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        break;
    case TScriptEffect::None:
        format.setVerticalAlignment(QTextCharFormat::AlignNormal);
        break;
    }
    mergeSelectionFormat(format);
}

void TReportView::mergeSelectionFormat(const QTextCharFormat &format)
{
    QTextCursor c = cursor();
    c.mergeCharFormat(format);
    setCursor(c);
}

// --- TTextAttributes -----------------------------------------------------------------------

void TTextAttributes::setName(const QString &name)
{
    QTextCharFormat format;
    format.setFontFamilies({name});
    m_view->mergeSelectionFormat(format);
}

void TTextAttributes::setCharset(int charset)
{
    QTextCharFormat format;
    format.setProperty(CharSetProperty, charset);
    m_view->mergeSelectionFormat(format);
}

void TTextAttributes::setStyle(TFontStyles style)
{
    QTextCharFormat format;
    format.setFontWeight(style.testFlag(TFontStyle::Bold) ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.testFlag(TFontStyle::Italic));
    format.setFontUnderline(style.testFlag(TFontStyle::Underline));
    format.setFontStrikeOut(style.testFlag(TFontStyle::StrikeOut));
    m_view->mergeSelectionFormat(format);
}

void TTextAttributes::setColor(const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    m_view->mergeSelectionFormat(format);
}

void TTextAttributes::setSize(int points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    m_view->mergeSelectionFormat(format);
}

// --- TLxobj --------------------------------------------------------------------------------

TLxobj::TLxobj(QObject *parent)
    : QObject(parent)
{ }

TLxobj::~TLxobj() = default;

void TLxobj::Calculate(TReportView *view)
{
    if (!view)
        return;
    view->clear();
    view->setParagraphAlignment(Qt::AlignLeft);
}

void TLxobj::WriteLine(TReportView *view, const QString &line, quint8 style)
{
    ApplyStyle(view->selAttributes(), style);
    AppendLine(view, line);
}

void TLxobj::ApplyStyle(TTextAttributes attributes, quint8 style)
{
    struct Row
    {
        int size;
        QColor color;
        bool bold;
    };
    static const Row rows[] = {
        {22, QColor(0, 0, 0), true},  {16, QColor(0, 0, 0), true},   {12, QColor(0, 128, 0), false},
        {12, QColor(0, 0, 0), false}, {14, QColor(0, 0, 0), true},   {12, QColor(255, 0, 0), false},
        {14, QColor(0, 0, 0), false}, {14, QColor(255, 0, 0), true},
    };

    attributes.setName(reportFontName());
    attributes.setCharset(Gb2312Charset);
    attributes.setStyle({});
    if (style >= std::size(rows))
        return;
    const Row &row = rows[style];
    if (style == 6)
        attributes.setName(QStringLiteral("宋体"));
    attributes.setColor(row.color);
    attributes.setSize(row.size);
    if (row.bold)
        attributes.setStyle(TFontStyle::Bold);
}

void TLxobj::ScanMarkup(const QString &line, QChar marker, QChar other, int base,
                        TextStyles &styles)
{
    const quint8 script = marker == SubscriptMarker ? 1 : 2;
    bool inside = false;
    int start = 0;
    int count = 0;
    int copied = 0;
    for (const QChar c : line) {
        if (c == other)
            continue;
        if (c == marker) {
            inside = !inside;
            if (inside) {
                start = base + copied;
            } else {
                styles.append(TextStyle {start, count, script, reportFontName()});
                start = 0;
                count = 0;
            }
            continue;
        }
        if (inside)
            ++count;
        ++copied;
    }
}

void TLxobj::AppendLine(TReportView *view, const QString &line)
{
    const QString converted = codepage::roundTrip936(line);

    TextStyles styles;
    const int base = view->lineStart(view->lineCount());
    ScanMarkup(converted, SubscriptMarker, SuperscriptMarker, base, styles);
    ScanMarkup(converted, SuperscriptMarker, SubscriptMarker, base, styles);

    QString plain = converted;
    plain.remove(SubscriptMarker);
    plain.remove(SuperscriptMarker);
    view->appendLine(plain);

    for (const TextStyle &style : std::as_const(styles)) {
        view->setSelStart(style.Start);
        view->setSelLength(style.Length);
        view->setSelScript(static_cast<TScriptEffect>(style.Script));
        if (!style.FontName.isEmpty())
            view->selAttributes().setName(style.FontName);
    }

    view->setSelLength(0);
    view->setSelStart(view->textLength() + 1);
    view->setSelScript(TScriptEffect::None);
}

QString TLxobj::FormatNumber(double value, qint8 decimals)
{
    const double rounded = numtext::roundToDecimals(value, decimals);
    return numtext::generalText(std::fabs(rounded), 15);
}
