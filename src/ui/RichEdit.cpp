#include "ui/RichEdit.h"

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

} // namespace

TRxRichEdit::TRxRichEdit(QWidget *parent)
    : QTextEdit(parent)
    , m_view(std::make_unique<EditorView>(this))
{
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
}

TRxRichEdit::~TRxRichEdit() = default;
