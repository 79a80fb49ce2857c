#pragma once

#include "report/uBaseClass.h"
#include "sheet/Sheet.h"

#include <QTextEdit>

#include <memory>
#include <optional>

class QMenu;

// The rich-text control of the calculator window. Its document is the report view: a report
// writer given reportView() works on the control's own cursor, so the caret ends where the
// writer left it and is kept in view.
//
// Its context menu is Qt's standard one with three entries for the sheet of the calculation
// the report comes from: Save As, Print and Print Preview. They are disabled while the view
// holds no report. Dialogs go through the dialogs seam, messages through msgbox.
class TRxRichEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit TRxRichEdit(QWidget *parent = nullptr);
    ~TRxRichEdit() override;

    TReportView *reportView() const { return m_view.get(); }

    // The calculation whose report the view shows, for its sheet. The view forgets it when
    // its text is emptied, so a report written afterwards needs its own.
    void setCalculation(const std::optional<sheet::Calculation> &calculation);
    const std::optional<sheet::Calculation> &calculation() const { return m_calculation; }
    // Whether the view shows a report with a calculation for its sheet.
    bool hasSheet() const;

    // The context menu for `position` (viewport coordinates); the caller owns it.
    QMenu *createContextMenu(const QPoint &position);

    // Asks for a file name and a format and saves the sheet there; a failed save is a message.
    void saveSheetAs();
    // The print dialog, then the sheet on the printer chosen.
    void printSheet();
    // The print preview of the sheet.
    void previewSheet();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void printOrPreview(bool preview);

    std::unique_ptr<TReportView> m_view;
    std::optional<sheet::Calculation> m_calculation;
    QString m_lastSaveName;
    QString m_lastSaveFilter;
};
