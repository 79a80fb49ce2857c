#include "platform/dialogs/Dialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>

#include <utility>

namespace dialogs {

namespace {

SaveHandler &installedSaveHandler()
{
    static SaveHandler handler;
    return handler;
}

PrintHandler &installedPrintHandler()
{
    static PrintHandler handler;
    return handler;
}

} // namespace

std::optional<SaveAnswer> runSaveDialog(const SaveRequest &request)
{
    QFileDialog dialog(request.owner.data(), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // A name typed without an extension gets the one of the chosen filter before the dialog
    // asks whether to overwrite, so the question is about the file that will be written.
    const auto suffixFor = [](const QString &filter) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        return pattern.match(filter).captured(1);
    };
    dialog.setDefaultSuffix(suffixFor(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixFor](const QString &filter) {
                         dialog.setDefaultSuffix(suffixFor(filter));
                     });
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveAnswer {dialog.selectedFiles().constFirst(), dialog.selectedNameFilter()};
}

std::optional<SaveAnswer> askSaveFileName(const SaveRequest &request)
{
    // A copy, so a handler that replaces itself while it runs stays alive until it returns.
    const SaveHandler handler = installedSaveHandler();
    return handler ? handler(request) : runSaveDialog(request);
}

SaveHandler setSaveHandler(SaveHandler handler)
{
    return std::exchange(installedSaveHandler(), std::move(handler));
}

bool runPrintDialog(const PrintRequest &request)
{
    if (!request.printer || !request.paint)
        return false;
    if (request.kind == PrintKind::Preview) {
        QPrintPreviewDialog dialog(request.printer, request.owner.data());
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&request](QPrinter *printer) { request.paint(printer); });
        return dialog.exec() == QDialog::Accepted;
    }
    QPrintDialog dialog(request.printer, request.owner.data());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.paint(request.printer);
    return true;
}

bool print(const PrintRequest &request)
{
    const PrintHandler handler = installedPrintHandler();
    return handler ? handler(request) : runPrintDialog(request);
}

PrintHandler setPrintHandler(PrintHandler handler)
{
    return std::exchange(installedPrintHandler(), std::move(handler));
}

ScopedSaveHandler::ScopedSaveHandler(SaveHandler handler)
    : m_previous(setSaveHandler(std::move(handler)))
{ }

ScopedSaveHandler::~ScopedSaveHandler()
{
    setSaveHandler(std::move(m_previous));
}

ScopedPrintHandler::ScopedPrintHandler(PrintHandler handler)
    : m_previous(setPrintHandler(std::move(handler)))
{ }

ScopedPrintHandler::~ScopedPrintHandler()
{
    setPrintHandler(std::move(m_previous));
}

} // namespace dialogs
