#pragma once

#include "report/uBaseClass.h"

#include <QTextEdit>

#include <memory>

// The rich-text control of the calculator window. Its document is the report view: a report
// writer given reportView() works on the control's own cursor, so the caret ends where the
// writer left it and is kept in view.
class TRxRichEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit TRxRichEdit(QWidget *parent = nullptr);
    ~TRxRichEdit() override;

    TReportView *reportView() const { return m_view.get(); }

private:
    std::unique_ptr<TReportView> m_view;
};
