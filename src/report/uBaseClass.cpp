#include "report/uBaseClass.h"

#include "platform/codepage/CodePage.h"
#include "platform/numtext/NumText.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <array>
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

void TReportView::cursorWillChange() { }

void TReportView::cursorChanged() { }

const QTextCursor &TReportView::cursor() const
{
    const_cast<TReportView *>(this)->cursorWillChange();
    return m_cursor;
}

void TReportView::clear()
{
    // QTextDocument::clear() keeps every cursor on the document, collapsed at 0, so the
    // editor's own cursor survives too.
    cursorWillChange();
    m_document->clear();
    m_cursor.setPosition(0);
    cursorChanged();
}

void TReportView::setParagraphAlignment(Qt::Alignment alignment)
{
    cursorWillChange();
    QTextBlockFormat format;
    format.setAlignment(alignment);
    m_cursor.mergeBlockFormat(format);
    cursorChanged();
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
    cursorWillChange();
    QTextCursor &c = m_cursor;
    const QTextCharFormat format = c.charFormat();
    // One edit block: one undo step, and no layout of the block for the caret's x position
    // after each of the two insertions.
    c.beginEditBlock();
    c.clearSelection();
    if (c.position() != textLength())
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
    c.endEditBlock();
    cursorChanged();
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
    const QTextCursor &c = cursor();
    return c.selectionEnd() - c.selectionStart();
}

void TReportView::setSelStart(int position)
{
    cursorWillChange();
    m_cursor.setPosition(std::clamp(position, 0, textLength()));
    cursorChanged();
}

void TReportView::setSelLength(int length)
{
    cursorWillChange();
    const int start = m_cursor.selectionStart();
    const int end = std::clamp(start + std::max(length, 0), start, textLength());
    m_cursor.setPosition(start);
    m_cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursorChanged();
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
        // Nothing to clear at an insertion point that carries no effect: skipping the merge
        // keeps the common unmarked line at one format change.
        if (!cursor().hasSelection()
            && cursor().charFormat().verticalAlignment() == QTextCharFormat::AlignNormal)
            return;
        format.setVerticalAlignment(QTextCharFormat::AlignNormal);
        break;
    }
    mergeSelectionFormat(format);
}

void TReportView::beginEditBlock()
{
    cursorWillChange();
    m_cursor.beginEditBlock();
}

void TReportView::endEditBlock()
{
    m_cursor.endEditBlock();
    cursorChanged();
}

void TReportView::mergeSelectionFormat(const QTextCharFormat &format)
{
    cursorWillChange();
    m_cursor.mergeCharFormat(format);
    cursorChanged();
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

void TTextAttributes::merge(const QTextCharFormat &format)
{
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
    // The table's attributes for each style, built once. Merging a style as one format sets
    // exactly the attributes that setting them one by one would, in a single view operation:
    // a report line costs a handful of format merges instead of dozens.
    static const std::array<QTextCharFormat, 9> formats = [] {
        struct Row
        {
            int size;
            QColor color;
            bool bold;
        };
        const Row rows[8] = {
            {22, QColor(0, 0, 0), true},    {16, QColor(0, 0, 0), true},
            {12, QColor(0, 128, 0), false}, {12, QColor(0, 0, 0), false},
            {14, QColor(0, 0, 0), true},    {12, QColor(255, 0, 0), false},
            {14, QColor(0, 0, 0), false},   {14, QColor(255, 0, 0), true},
        };
        std::array<QTextCharFormat, 9> table;
        for (QTextCharFormat &format : table) {
            format.setFontFamilies({reportFontName()});
            format.setProperty(CharSetProperty, Gb2312Charset);
            format.setFontWeight(QFont::Normal);
            format.setFontItalic(false);
            format.setFontUnderline(false);
            format.setFontStrikeOut(false);
        }
        // The one style in a font of its own; its marked ranges still take the report font.
        constexpr size_t SongtiStyle = 6;
        for (size_t i = 0; i < std::size(rows); ++i) {
            QTextCharFormat &format = table[i];
            if (i == SongtiStyle)
                format.setFontFamilies({QStringLiteral("宋体")});
            format.setForeground(rows[i].color);
            format.setFontPointSize(rows[i].size);
            if (rows[i].bold)
                format.setFontWeight(QFont::Bold);
        }
        return table;
    }();
    attributes.merge(formats[std::min<size_t>(style, formats.size() - 1)]);
}

void TLxobj::ScanMarkup(const QString &line, QChar marker, QChar other, int base,
                        TextStyles &styles)
{
    const auto script = static_cast<quint8>(marker == SubscriptMarker ? TScriptEffect::Subscript
                                                                      : TScriptEffect::Superscript);
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
    view->beginEditBlock();
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
    view->endEditBlock();
}

QString TLxobj::FormatNumber(double value, qint8 decimals)
{
    const double rounded = numtext::roundToDecimals(value, decimals);
    return numtext::generalText(std::fabs(rounded), 15);
}
