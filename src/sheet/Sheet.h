#pragma once

#include "calc/Weld.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class QIODevice;
class QPagedPaintDevice;
class QTextDocument;

// The calculation sheet: one document that shows the inputs of one calculation next to its
// results, and the writers that take it to a file or a printer. The window and the command
// line both make it here, so a sheet reads the same whichever of them saved it.
namespace sheet {

// One calculation as its sheet shows it.
struct Calculation
{
    weld::Input input;
    weld::Result result; // weld::calculate(input)
    QDateTime time; // when it was calculated
};

// The calculation of `input`, made at `time`.
Calculation calculate(const weld::Input &input,
                      const QDateTime &time = QDateTime::currentDateTime());

// The sheet of `calculation`: the title block (Jointrix, the date and time, the inputs as the
// window labels them, the grade for butt and lap welds only), the design strengths with their
// source, the four report lines exactly as TJointrix writes them into the window (or the lines
// up to its error line), and for fillet welds with loads a note on what the loads leave out.
// Numbers are written with the system's decimal separator, like the report's. A
// QCoreApplication is enough to make it and write it as text, HTML or ODF; PDF and printing
// need a QGuiApplication (an offscreen one will do).
std::unique_ptr<QTextDocument> makeDocument(const Calculation &calculation);

enum class Format : quint8 { Pdf, Odf, Html, Text };

// The format a file name's extension names: .pdf, .odt, .html or .htm, .txt, in any letter
// case; nothing for any other name.
std::optional<Format> formatOf(const QString &fileName);
// The extension a file of `format` gets, without the dot.
QString extension(Format format);

struct WriteResult
{
    QString error; // why nothing was written, for a message; empty on success
    bool ok() const { return error.isEmpty(); }
};

// Writes `document` in `format` to `device`, which is open for writing: PDF on A4 with its
// fonts embedded, ODF text, HTML or plain text, both in UTF-8. PDF without a QGuiApplication
// is an error.
WriteResult write(const QTextDocument &document, Format format, QIODevice *device);

// Writes `document` in `format` to the file `fileName` through a TSaveTarget: the file is
// replaced only once the whole document is written, so a failed or interrupted save leaves an
// older file as it was; a device or a pipe is written in place.
WriteResult save(const QTextDocument &document, const QString &fileName, Format format);
// The same in the format of the file name's extension; another extension is an error.
WriteResult save(const QTextDocument &document, const QString &fileName);

// Prints `document` on `device`, a QPrinter or a QPdfWriter, in pages of the device's page
// size; the device's margins are widened to 2 cm where they are narrower. Does nothing
// without a QGuiApplication.
void print(const QTextDocument &document, QPagedPaintDevice *device);

} // namespace sheet
