#include "sheet/Sheet.h"

#include "platform/savefile/SaveFile.h"

#include "calc/U_Class.h"
#include "platform/fonts/Fonts.h"
#include "platform/numtext/NumText.h"
#include "report/uBaseClass.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileDevice>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextDocumentWriter>

#include <algorithm>

namespace sheet {

namespace {

const QString Title = QStringLiteral("Jointrix");
const QString Source = QStringLiteral("GB 50017-2003 Table 3.4.1-3");
constexpr qreal PageMargin = 20; // mm

// The report's face for Latin text, the window's Song face for the Chinese.
const QStringList SheetFaces = {QStringLiteral("Times New Roman"), QStringLiteral("宋体")};

// The table's rows by the steel its electrodes are matched with, indexed by weld::Electrode.
const char16_t *const Steels[3] = {u"Q235", u"Q345", u"Q390"};

QString number(double value)
{
    return numtext::generalText(value, 15);
}

// Every face a PDF draws with is embedded, and each costs the writer more than all the glyphs
// of a sheet: the sheet keeps to the two the report needs anyway, without a bold one.
QTextCharFormat textFormat(double points)
{
    QTextCharFormat format;
    format.setFontFamilies(SheetFaces);
    format.setFontPointSize(points);
    format.setFontWeight(QFont::Normal);
    format.setForeground(Qt::black);
    return format;
}

QTextBlockFormat spacedBlock(double before)
{
    QTextBlockFormat block;
    block.setAlignment(Qt::AlignLeft);
    block.setTopMargin(before);
    return block;
}

// Appends paragraphs to a document, each in a block and character format of its own.
class Paragraphs
{
public:
    explicit Paragraphs(QTextDocument *document)
        : m_cursor(document)
    { }

    void add(const QString &text, const QTextCharFormat &format,
             const QTextBlockFormat &block = spacedBlock(0))
    {
        startBlock(block, format);
        m_cursor.insertText(text, format);
    }

    void heading(const QString &text) { add(text, textFormat(14), spacedBlock(12)); }

    // The report's lines with their own block and character formats.
    void report(QTextDocument &report)
    {
        // Everything up to the break after its last line: the empty block the writer leaves
        // at the end would be an empty paragraph here.
        const QTextBlock last = report.lastBlock();
        const QTextBlock lastLine = last.length() <= 1 ? last.previous() : last;
        if (!lastLine.isValid())
            return;
        QTextCursor lines(&report);
        lines.setPosition(lastLine.position() + lastLine.length() - 1, QTextCursor::KeepAnchor);
        startBlock(lastLine.blockFormat(), lastLine.charFormat());
        m_cursor.insertFragment(lines.selection());
    }

private:
    void startBlock(const QTextBlockFormat &block, const QTextCharFormat &format)
    {
        if (m_empty) {
            m_cursor.setBlockFormat(block);
            m_cursor.setBlockCharFormat(format);
            m_empty = false;
        } else {
            m_cursor.insertBlock(block, format);
        }
    }

    QTextCursor m_cursor;
    bool m_empty = true;
};

// Qt ends the process when a painter asks for fonts without a QGuiApplication; the text
// formats need none.
bool hasFonts()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

QString strengthLine(const QString &name, double strength)
{
    return name + QStringLiteral("：") + number(strength) + QStringLiteral(" N/mm²");
}

} // namespace

Calculation calculate(const weld::Input &input, const QDateTime &time)
{
    return {input, weld::calculate(input), time};
}

std::unique_ptr<QTextDocument> makeDocument(const Calculation &calculation)
{
    fonts::installSubstitutes();
    const weld::Input &input = calculation.input;
    auto document = std::make_unique<QTextDocument>();
    document->setMetaInformation(QTextDocument::DocumentTitle, Title);
    document->setDefaultFont(QFont(SheetFaces, 12));

    Paragraphs out(document.get());
    out.add(Title, textFormat(22));
    out.add(QStringLiteral("计算时间：")
                + calculation.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            textFormat(12));

    const QTextCharFormat body = textFormat(12);
    out.heading(QStringLiteral("已知参数"));
    out.add(QStringLiteral("焊缝连接形式：") + weld::displayText(input.form), body);
    if (weld::usesGrade(input.form))
        out.add(QStringLiteral("焊缝等级：") + weld::displayText(input.grade), body);
    out.add(QStringLiteral("焊条型号：") + weld::displayText(input.electrode), body);
    out.add(QStringLiteral("焊缝厚度hf(mm)：") + number(input.hf), body);
    out.add(QStringLiteral("焊缝长度Lf(mm)：") + number(input.lf), body);

    const weld::Strengths &s = calculation.result.strengths;
    out.heading(QStringLiteral("强度设计值"));
    if (weld::usesGrade(input.form)) {
        out.add(strengthLine(QStringLiteral("抗拉强度"), s.tensile), body);
        out.add(strengthLine(QStringLiteral("抗压强度"), s.compressive), body);
        out.add(strengthLine(QStringLiteral("抗剪强度"), s.shear), body);
    } else {
        out.add(strengthLine(QStringLiteral("角焊缝强度"), s.tensile), body);
    }
    out.add(QStringLiteral("来源：") + Source + QStringLiteral("（")
                + QString::fromUtf16(Steels[size_t(input.electrode)]) + QStringLiteral(" 钢，")
                + weld::displayText(input.electrode) + QStringLiteral("焊条）"),
            body);

    out.heading(QStringLiteral("计算结果"));
    QTextDocument report;
    TReportView view(&report);
    CalculateReport(input, &view);
    out.report(report);

    if (!weld::usesGrade(input.form) && calculation.result.ok()) {
        out.add(QStringLiteral("注：荷载 = 强度 × hf × Lf（× 2），hf 不乘有效厚度系数 0.7，"
                               "Lf 不减焊缝两端。设计规范侧面角焊缝承载力（有效厚度 0.7hf，"
                               "计算长度 Lf − 2hf）更小：长焊缝时本结果为其 1/0.7 ≈ 1.43 倍，"
                               "短焊缝时倍数更大。"),
                textFormat(12), spacedBlock(12));
    }
    return document;
}

std::optional<Format> formatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    if (suffix == QLatin1String("odt"))
        return Format::Odf;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return Format::Html;
    if (suffix == QLatin1String("txt"))
        return Format::Text;
    return std::nullopt;
}

QString extension(Format format)
{
    switch (format) {
    case Format::Pdf:
        return QStringLiteral("pdf");
    case Format::Odf:
        return QStringLiteral("odt");
    case Format::Html:
        return QStringLiteral("html");
    case Format::Text:
        return QStringLiteral("txt");
    }
    return {};
}

void print(const QTextDocument &document, QPagedPaintDevice *device)
{
    if (!device || !hasFonts())
        return;
    // The margins are the device's, at least 2 cm a side; the text fills the rest.
    QMarginsF margins = device->pageLayout().margins(QPageLayout::Millimeter);
    margins
        = QMarginsF(std::max(margins.left(), PageMargin), std::max(margins.top(), PageMargin),
                    std::max(margins.right(), PageMargin), std::max(margins.bottom(), PageMargin));
    device->setPageMargins(margins, QPageLayout::Millimeter);

    // QTextDocument::print lays out a document without pages up to four times: as it is, then
    // a copy for the device, again for the copy's margins and again for its page size. Here
    // the copy gets its device and page size while it is still empty, so the text is laid
    // out once, for the device, and printed as it is.
    QTextDocument paged;
    paged.documentLayout()->setPaintDevice(device);
    paged.setDocumentMargin(0);
    paged.setDefaultFont(document.defaultFont());
    paged.setMetaInformation(QTextDocument::DocumentTitle,
                             document.metaInformation(QTextDocument::DocumentTitle));
    paged.setPageSize(QSizeF(device->width(), device->height()));
    QTextCursor(&paged).insertFragment(QTextDocumentFragment(&document));
    paged.print(device);
}

WriteResult write(const QTextDocument &document, Format format, QIODevice *device)
{
    if (!device || !device->isWritable())
        return {QStringLiteral("the output is not open for writing")};
    if (format == Format::Pdf && !hasFonts())
        return {QStringLiteral("a PDF needs a QGuiApplication for its fonts")};
    switch (format) {
    case Format::Pdf: {
        // The writer embeds a subset of every face it draws with, so the Chinese text reads
        // the same on a machine without these fonts.
        QPdfWriter writer(device);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        writer.setCreator(Title);
        print(document, &writer);
        break;
    }
    case Format::Odf: {
        // The package writer closes its device when it is done, which a QSaveFile forbids:
        // the package is built in memory and copied.
        QBuffer package;
        package.open(QIODevice::WriteOnly);
        QTextDocumentWriter writer(&package, QByteArrayLiteral("odf"));
        if (!writer.write(&document))
            return {QStringLiteral("the ODF text could not be written")};
        device->write(package.data());
        break;
    }
    case Format::Html:
        device->write(document.toHtml().toUtf8());
        break;
    case Format::Text:
        device->write((document.toPlainText() + QLatin1Char('\n')).toUtf8());
        break;
    }
    // A file keeps the first write error, so no single write above needs its own check. What
    // is still buffered is written here: a QSaveFile's commit would flush it too, but would
    // not notice when that fails and put the cut-off file in place.
    if (auto *file = qobject_cast<QFileDevice *>(device)) {
        if (!file->flush() || file->error() != QFileDevice::NoError)
            return {file->errorString()};
    }
    return {};
}

WriteResult save(const QTextDocument &document, const QString &fileName, Format format)
{
    TSaveTarget file(fileName);
    if (!file.open())
        return {file.errorString()};
    WriteResult written = write(document, format, file.device());
    if (!written.ok())
        return written;
    if (!file.commit())
        return {file.errorString()};
    return {};
}

WriteResult save(const QTextDocument &document, const QString &fileName)
{
    const std::optional<Format> format = formatOf(fileName);
    if (!format) {
        return {QStringLiteral("unknown file type of '%1' (use .pdf, .odt, .html, .htm or .txt)")
                    .arg(fileName)};
    }
    return save(document, fileName, *format);
}

} // namespace sheet
