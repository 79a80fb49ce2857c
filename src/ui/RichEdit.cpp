#include "ui/RichEdit.h"

#include "platform/crashlog/CrashLog.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/msgbox/MsgBox.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QPageSize>
#include <QPrinter>

#include <exception>

namespace {

class EditorView final : public TReportView
{
public:
    explicit EditorView(QTextEdit *edit)
        : TReportView(edit->document())
        , m_edit(edit)
    { }

protected:
    void cursorWillChange() override { m_cursor = m_edit->textCursor(); }
    void cursorChanged() override
    {
        m_edit->setTextCursor(m_cursor);
        m_edit->ensureCursorVisible();
    }

private:
    QTextEdit *m_edit;
};

struct SheetFilter
{
    sheet::Format format;
    const char16_t *filter;
};

// The save dialog's filters, in the order it lists them.
const SheetFilter SheetFilters[] = {
    {sheet::Format::Pdf, u"PDF 文档 (*.pdf)"},
    {sheet::Format::Odf, u"ODF 文本文档 (*.odt)"},
    {sheet::Format::Html, u"HTML 网页 (*.html *.htm)"},
    {sheet::Format::Text, u"纯文本 (*.txt)"},
};

const QString MessageTitle = QStringLiteral("提示信息");

// Errors must not cross Qt's event loop: a menu entry's error ends here and goes to the
// module's general error handling, like a window handler's.
template<typename Handler> void guarded(Handler &&handler)
{
    try {
        handler();
    } catch (...) {
        crashlog::handle(std::current_exception());
    }
}

void showMessage(QWidget *owner, const QString &text)
{
    msgbox::Request request;
    request.text = text;
    request.title = MessageTitle;
    request.kind = msgbox::Kind::Exclamation;
    request.owner = owner;
    msgbox::show(request);
}

} // namespace

TRxRichEdit::TRxRichEdit(QWidget *parent)
    : QTextEdit(parent)
    , m_view(std::make_unique<EditorView>(this))
{
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (document()->isEmpty())
            m_calculation.reset();
    });
}

TRxRichEdit::~TRxRichEdit() = default;

void TRxRichEdit::setCalculation(const std::optional<sheet::Calculation> &calculation)
{
    m_calculation = calculation;
}

bool TRxRichEdit::hasSheet() const
{
    return m_calculation && !document()->isEmpty();
}

QMenu *TRxRichEdit::createContextMenu(const QPoint &position)
{
    QMenu *menu = createStandardContextMenu(position);
    menu->addSeparator();
    const bool enabled = hasSheet();
    const auto add = [&](const QString &text, const char *name, void (TRxRichEdit::*slot)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this,
                [this, slot] { guarded([&] { (this->*slot)(); }); });
    };
    add(QStringLiteral("另存为…"), "sheet-save-as", &TRxRichEdit::saveSheetAs);
    add(QStringLiteral("打印…"), "sheet-print", &TRxRichEdit::printSheet);
    add(QStringLiteral("打印预览…"), "sheet-print-preview", &TRxRichEdit::previewSheet);
    return menu;
}

void TRxRichEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // As Qt's own editors do: the menu shows without blocking and goes when it closes.
    QMenu *menu = createContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TRxRichEdit::saveSheetAs()
{
    if (!hasSheet())
        return;
    dialogs::SaveRequest request;
    request.title = QStringLiteral("另存为");
    for (const SheetFilter &entry : SheetFilters)
        request.filters << QString::fromUtf16(entry.filter);
    request.selectedFilter
        = m_lastSaveFilter.isEmpty() ? request.filters.constFirst() : m_lastSaveFilter;
    request.fileName = m_lastSaveName.isEmpty() ? QStringLiteral("Jointrix.pdf") : m_lastSaveName;
    request.owner = window();
    const std::optional<dialogs::SaveAnswer> answer = dialogs::askSaveFileName(request);
    if (!answer || answer->fileName.isEmpty())
        return;

    // The extension typed decides; without a known one the chosen filter does and adds its
    // extension.
    QString fileName = answer->fileName;
    std::optional<sheet::Format> format = sheet::formatOf(fileName);
    if (!format) {
        format = sheet::Format::Pdf;
        for (const SheetFilter &entry : SheetFilters) {
            if (answer->filter == QString::fromUtf16(entry.filter))
                format = entry.format;
        }
        fileName += QLatin1Char('.') + sheet::extension(*format);
    }
    m_lastSaveName = fileName;
    m_lastSaveFilter = answer->filter;

    const auto document = sheet::makeDocument(*m_calculation);
    const sheet::WriteResult result = sheet::save(*document, fileName, *format);
    if (!result.ok()) {
        showMessage(window(),
                    QStringLiteral("计算书未能保存到 %1：%2")
                        .arg(QDir::toNativeSeparators(fileName), result.error));
    }
}

void TRxRichEdit::printSheet()
{
    printOrPreview(false);
}

void TRxRichEdit::previewSheet()
{
    printOrPreview(true);
}

void TRxRichEdit::printOrPreview(bool preview)
{
    if (!hasSheet())
        return;
    const auto document = sheet::makeDocument(*m_calculation);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Jointrix"));

    dialogs::PrintRequest request;
    request.kind = preview ? dialogs::PrintKind::Preview : dialogs::PrintKind::Print;
    request.printer = &printer;
    request.paint = [&document](QPrinter *target) { sheet::print(*document, target); };
    request.owner = window();
    if (dialogs::print(request) && !preview && printer.printerState() == QPrinter::Error)
        showMessage(window(), QStringLiteral("计算书未能打印。"));
}
