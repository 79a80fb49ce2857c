#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QPrinter;

// Every file and print dialog of the module goes through here, as every message box goes
// through msgbox::show(). The default handlers run Qt's modal dialogs; a test installs its own
// (ScopedSaveHandler, ScopedPrintHandler) to answer them without a modal loop.
namespace dialogs {

struct SaveRequest
{
    QString title;
    QString fileName; // proposed
    QStringList filters; // name filters, "PDF (*.pdf)"
    QString selectedFilter; // one of `filters`, chosen when the dialog opens
    QPointer<QWidget> owner;
};

struct SaveAnswer
{
    QString fileName;
    QString filter; // the name filter chosen when the dialog was accepted
};

using SaveHandler = std::function<std::optional<SaveAnswer>(const SaveRequest &)>;

// Asks for the name of a file to save to; nothing when the dialog is cancelled.
std::optional<SaveAnswer> askSaveFileName(const SaveRequest &request);
// The default: a modal QFileDialog that confirms overwriting a file.
std::optional<SaveAnswer> runSaveDialog(const SaveRequest &request);
// Installs `handler` (an empty one means the default) and returns the one it replaces.
SaveHandler setSaveHandler(SaveHandler handler);

enum class PrintKind : quint8 {
    Print, // the print dialog, then the pages
    Preview, // the print preview, which draws the pages as often as it needs them
};

struct PrintRequest
{
    PrintKind kind = PrintKind::Print;
    QPrinter *printer = nullptr;
    // Draws the pages on the printer it is given.
    std::function<void(QPrinter *)> paint;
    QPointer<QWidget> owner;
};

using PrintHandler = std::function<bool(const PrintRequest &)>;

// Runs the print or preview dialog of `request`; false when it was cancelled.
bool print(const PrintRequest &request);
// The default: a modal QPrintDialog or QPrintPreviewDialog.
bool runPrintDialog(const PrintRequest &request);
PrintHandler setPrintHandler(PrintHandler handler);

// A handler installed for the scope's lifetime; the previous one is put back afterwards.
class ScopedSaveHandler
{
public:
    explicit ScopedSaveHandler(SaveHandler handler);
    ~ScopedSaveHandler();
    ScopedSaveHandler(const ScopedSaveHandler &) = delete;
    ScopedSaveHandler &operator=(const ScopedSaveHandler &) = delete;

private:
    SaveHandler m_previous;
};

class ScopedPrintHandler
{
public:
    explicit ScopedPrintHandler(PrintHandler handler);
    ~ScopedPrintHandler();
    ScopedPrintHandler(const ScopedPrintHandler &) = delete;
    ScopedPrintHandler &operator=(const ScopedPrintHandler &) = delete;

private:
    PrintHandler m_previous;
};

} // namespace dialogs
