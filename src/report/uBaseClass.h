#pragma once

#include <QColor>
#include <QFlags>
#include <QObject>
#include <QString>
#include <QTextCursor>
#include <QTextFormat>
#include <QVector>

class QTextDocument;

// Qt has no per-character character set; the report keeps the one it asks for as a custom
// character property so that it travels with the text.
inline constexpr int CharSetProperty = QTextFormat::UserProperty + 1;

enum class TFontStyle : quint8 {
    Bold = 0x1,
    Italic = 0x2,
    Underline = 0x4,
    StrikeOut = 0x8,
};
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

enum class TScriptEffect : quint8 {
    None = 0,
    Subscript = 1,
    Superscript = 2,
};

class TTextAttributes;

// The operations a report writer needs of a rich-text view, over a QTextDocument.
// Positions count UTF-16 code units, a line break counts one. The selection is a QTextCursor
// of the view's own; a view bound to an editor overrides the two hooks to take the editor's
// cursor before each operation and hand it back after, so the writer's insertion point is the
// one the user sees.
class TReportView
{
public:
    explicit TReportView(QTextDocument *document);
    virtual ~TReportView();
    TReportView(const TReportView &) = delete;
    TReportView &operator=(const TReportView &) = delete;

    QTextDocument *document() const { return m_document; }

    void clear();
    void setParagraphAlignment(Qt::Alignment alignment);
    // Lines, not counting an empty last line: 0 for an empty view, n after n appended lines.
    int lineCount() const;
    // Start of line `line`; at or past the line count, the end of the text.
    int lineStart(int line) const;
    // Appends `text` and a line break at the end, in the attributes of the insertion point.
    void appendLine(const QString &text);
    QString text() const;
    int textLength() const;

    int selStart() const;
    int selLength() const;
    // Collapses the selection at `position`; beyond the end means the end.
    void setSelStart(int position);
    // Keeps the selection's start and sets its end to start + length (at most the end).
    void setSelLength(int length);
    TTextAttributes selAttributes();
    void setSelScript(TScriptEffect effect);

    // Groups the operations up to the matching endEditBlock() into one undo step; the
    // caret's screen position is worked out once at the end instead of after every move.
    void beginEditBlock();
    void endEditBlock();

    // Merges `format` into the selected characters or, with an empty selection, into the
    // insertion point.
    void mergeSelectionFormat(const QTextCharFormat &format);

protected:
    // Called before an operation reads or moves the selection: a view bound to an editor
    // copies the editor's cursor into m_cursor here.
    virtual void cursorWillChange();
    // Called after an operation moved the selection or changed the insertion point.
    virtual void cursorChanged();

    const QTextCursor &cursor() const;

    QTextDocument *m_document;
    QTextCursor m_cursor;
};

// The attributes of a view's selection; every setter is one view operation.
class TTextAttributes
{
public:
    explicit TTextAttributes(TReportView *view)
        : m_view(view)
    { }

    void setName(const QString &name);
    void setCharset(int charset);
    void setStyle(TFontStyles style);
    void setColor(const QColor &color);
    void setSize(int points);
    // Several attributes in one view operation.
    void merge(const QTextCharFormat &format);

private:
    TReportView *m_view;
};

// One marked range of a report line.
struct TextStyle
{
    qint32 Start = 0;
    qint32 Length = 0;
    // A TScriptEffect: Subscript for a "$" pair, Superscript for a "#" pair; None never stands
    // in a record.
    quint8 Script = quint8(TScriptEffect::None);
    QString FontName;
};
using TextStyles = QVector<TextStyle>;

// Base class of calculation objects: prepares the report view and writes styled lines.
class TLxobj : public QObject
{
    Q_OBJECT

public:
    explicit TLxobj(QObject *parent = nullptr);
    ~TLxobj() override;

    // Clears the view and left-aligns it; does nothing without a view.
    virtual void Calculate(TReportView *view);

    // Applies `style` at the insertion point, then appends `line` with its markup.
    static void WriteLine(TReportView *view, const QString &line, quint8 style);
    // Font name, character set and font style, then colour, size and bold by the style table;
    // styles 8 to 255 set only what all rows share.
    static void ApplyStyle(TTextAttributes attributes, quint8 style);
    // Appends `line` without its "$" and "#" markers and gives the marked ranges their
    // subscript or superscript.
    static void AppendLine(TReportView *view, const QString &line);
    // `value` rounded to `decimals` on its binary value, without sign, as the general number
    // text with 15 digits. Throws numtext::InvalidOperation for a value that is not finite or
    // whose scaled quotient does not fit 64 bits.
    static QString FormatNumber(double value, qint8 decimals);

    // The marked ranges of `line` for `marker`, placed at `base`; the other marker is ignored.
    static void ScanMarkup(const QString &line, QChar marker, QChar other, int base,
                           TextStyles &styles);
};
