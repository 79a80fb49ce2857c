#include "calc/U_Class.h"
#include "calc/Weld.h"
#include "report/uBaseClass.h"
#include "sheet/Sheet.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QXmlStreamReader>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(weld::Input)
Q_DECLARE_METATYPE(sheet::Format)

namespace {

const QDateTime Time(QDate(2024, 5, 1), QTime(14, 3, 9));
const QString ErrorLine = QStringLiteral("计算结果出错！请重新调整已知参数！");
const QString NoteStart
    = QStringLiteral("注：荷载 = 强度 × hf × Lf（× 2），hf 不乘有效厚度系数 0.7");

weld::Input input(weld::Form form, weld::Grade grade, weld::Electrode electrode, double hf,
                  double lf)
{
    return {form, grade, electrode, hf, lf};
}

// The output of a helper program, or a failed check naming it.
QByteArray run(const QString &program, const QStringList &arguments)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        qWarning("%s is missing: scripts/install-deps installs it", qPrintable(program));
        return {};
    }
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return {};
    }
    return process.readAllStandardOutput();
}

QStringList plainLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The paragraphs of an ODF text's content.xml, with the writer's space and break elements
// turned back into characters.
QStringList odfParagraphs(const QByteArray &contentXml)
{
    QStringList paragraphs;
    QXmlStreamReader xml(contentXml);
    int depth = 0;
    QString current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.qualifiedName() == QLatin1String("text:p")) {
                ++depth;
                current.clear();
            } else if (xml.qualifiedName() == QLatin1String("text:s")) {
                const int count = xml.attributes().value(QLatin1String("text:c")).toInt();
                current += QString(qMax(count, 1), QLatin1Char(' '));
            } else if (xml.qualifiedName() == QLatin1String("text:tab")) {
                current += QLatin1Char('\t');
            }
        } else if (xml.isCharacters() && depth > 0) {
            current += xml.text();
        } else if (xml.isEndElement() && xml.qualifiedName() == QLatin1String("text:p")) {
            --depth;
            paragraphs << current;
        }
    }
    return paragraphs;
}

// The text colour of every span of an ODF text that holds `text`, by its automatic style.
QStringList odfColoursOf(const QByteArray &contentXml, const QString &text)
{
    QHash<QString, QString> colours;
    QStringList found;
    QXmlStreamReader xml(contentXml);
    QString style;
    QString spanStyle;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attributes = xml.attributes();
            if (xml.qualifiedName() == QLatin1String("style:style"))
                style = attributes.value(QLatin1String("style:name")).toString();
            else if (xml.qualifiedName() == QLatin1String("style:text-properties"))
                colours[style] = attributes.value(QLatin1String("fo:color")).toString();
            else if (xml.qualifiedName() == QLatin1String("text:span"))
                spanStyle = attributes.value(QLatin1String("text:style-name")).toString();
        } else if (xml.isCharacters() && xml.text().contains(text)) {
            found << colours.value(spanStyle);
        }
    }
    return found;
}

QString withoutBlanks(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.remove(blanks);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The report's lines as TJointrix writes them into a view of their own.
void writeReport(const weld::Input &in, QTextDocument *document)
{
    TReportView view(document);
    TJointrix calculation;
    calculation.setCalType(weld::code(in.form));
    calculation.setGrade(weld::code(in.grade));
    calculation.setStyle(weld::code(in.electrode));
    calculation.setHf(in.hf);
    calculation.setLf(in.lf);
    calculation.Calculate(&view);
}

// Restores the file size limit and the signal it raises when a test is done with them.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_saved {};
    void (*m_previousHandler)(int) = nullptr;
    bool m_set = false;
};

} // namespace

class TestSheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void content_data();
    void content();
    void reportKeepsItsFormats_data();
    void reportKeepsItsFormats();
    void pdfIsA4WithEmbeddedFonts();
    void formatOfName_data();
    void formatOfName();
    void failedSave_data();
    void failedSave();
    void interruptedSaveKeepsOlderFile_data();
    void interruptedSaveKeepsOlderFile();
};

void TestSheet::content_data()
{
    QTest::addColumn<weld::Input>("in");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<bool>("note");

    using weld::Electrode;
    using weld::Form;
    using weld::Grade;
    const QStringList header
        = {QStringLiteral("Jointrix"), QStringLiteral("计算时间：2024-05-01 14:03:09")};
    const QString grade = QStringLiteral("焊缝等级：");

    QTest::newRow("single fillet")
        << input(Form::SingleFillet, Grade::Third, Electrode::E43, 10, 1000)
        << header
            + QStringList {QStringLiteral("焊缝连接形式：单边角焊缝"),
                           QStringLiteral("焊条型号：E43型"),
                           QStringLiteral("焊缝厚度hf(mm)：10"),
                           QStringLiteral("焊缝长度Lf(mm)：1000"),
                           QStringLiteral("角焊缝强度：160 N/mm²"),
                           QStringLiteral(
                               "来源：GB 50017-2003 Table 3.4.1-3（Q235 钢，E43型焊条）"),
                           QStringLiteral("单边角焊缝连接计算："),
                           QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
                           QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
                           QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；")}
        << QStringList {grade, ErrorLine} << true;
    QTest::newRow("double fillet")
        << input(Form::DoubleFillet, Grade::First, Electrode::E50, 8, 200)
        << header
            + QStringList {QStringLiteral("焊缝连接形式：双边角焊缝"),
                           QStringLiteral("角焊缝强度：200 N/mm²"),
                           QStringLiteral(
                               "来源：GB 50017-2003 Table 3.4.1-3（Q345 钢，E50型焊条）"),
                           QStringLiteral("设计抗拉荷载：F=2×200×8×200=640kN；")}
        << QStringList {grade} << true;
    QTest::newRow("butt, third grade") << input(Form::Butt, Grade::Third, Electrode::E43, 20, 100)
                                       << header
            + QStringList {QStringLiteral("焊缝连接形式：平焊缝连接"),
                           QStringLiteral("焊缝等级：三级"),
                           QStringLiteral("焊条型号：E43型"),
                           QStringLiteral("抗拉强度：175 N/mm²"),
                           QStringLiteral("抗压强度：205 N/mm²"),
                           QStringLiteral("抗剪强度：120 N/mm²"),
                           QStringLiteral("平焊缝连接计算："),
                           QStringLiteral("设计抗拉荷载：F=175×20×100=350kN；"),
                           QStringLiteral("设计抗压荷载：N=205×20×100=410kN；"),
                           QStringLiteral("设计抗剪荷载：V=120×20×100=240kN；")}
                                       << QStringList {QStringLiteral("角焊缝")} << false;
    QTest::newRow("lap, E55") << input(Form::Lap, Grade::First, Electrode::E55, 16, 50)
                              << header
            + QStringList {QStringLiteral("焊缝等级：一级"),
                           QStringLiteral(
                               "来源：GB 50017-2003 Table 3.4.1-3（Q390 钢，E55型焊条）"),
                           QStringLiteral("搭接焊缝连接计算："),
                           QStringLiteral("设计抗剪荷载：V=2×205×16×50=328kN；")}
                              << QStringList {} << false;
    // A thickness the report cannot print: the heading, then the error line in place of the
    // results, and no note on loads that are not there.
    QTest::newRow("error line after the heading")
        << input(Form::SingleFillet, Grade::First, Electrode::E43, 1e20, 1000)
        << header
            + QStringList {QStringLiteral("焊缝厚度hf(mm)：1E20"),
                           QStringLiteral("单边角焊缝连接计算："), ErrorLine}
        << QStringList {QStringLiteral("设计抗拉荷载")} << false;
    QTest::newRow("error line alone")
        << input(Form::Butt, Grade::Second, Electrode::E50, 1e300, 1e300)
        << header + QStringList {QStringLiteral("焊缝等级：二级"), ErrorLine}
        << QStringList {QStringLiteral("平焊缝连接计算：")} << false;
}

void TestSheet::content()
{
    QFETCH(weld::Input, in);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, absent);
    QFETCH(bool, note);
    const bool failed = lines.contains(ErrorLine);

    const auto document = sheet::makeDocument(sheet::calculate(in, Time));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto saved = [&](const QString &name) {
        const QString path = dir.filePath(name);
        const sheet::WriteResult result = sheet::save(*document, path);
        if (!result.ok())
            qWarning("%s: %s", qPrintable(name), qPrintable(result.error));
        return result.ok() ? path : QString();
    };
    const QString text = saved(QStringLiteral("sheet.txt"));
    const QString html = saved(QStringLiteral("sheet.html"));
    const QString odt = saved(QStringLiteral("sheet.odt"));
    const QString pdf = saved(QStringLiteral("sheet.pdf"));
    QVERIFY(!text.isEmpty() && !html.isEmpty() && !odt.isEmpty() && !pdf.isEmpty());

    QTextDocument fromHtml;
    fromHtml.setHtml(QString::fromUtf8(readAll(html)));
    const QByteArray contentXml
        = run(QStringLiteral("unzip"), {QStringLiteral("-p"), odt, QStringLiteral("content.xml")});
    QVERIFY(!contentXml.isEmpty());
    const QByteArray pdfText
        = run(QStringLiteral("pdftotext"),
              {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QVERIFY(!pdfText.isEmpty());

    const QList<std::pair<const char *, QStringList>> formats = {
        {"text", plainLines(QString::fromUtf8(readAll(text)))},
        {"HTML", plainLines(fromHtml.toPlainText())},
        {"ODF", odfParagraphs(contentXml)},
    };
    for (const auto &[format, got] : formats) {
        for (const QString &line : lines)
            QVERIFY2(
                got.contains(line),
                qPrintable(QStringLiteral("%1: no line \"%2\" in\n%3")
                               .arg(QLatin1String(format), line, got.join(QLatin1Char('\n')))));
        const QString all = got.join(QLatin1Char('\n'));
        for (const QString &part : absent)
            QVERIFY2(!all.contains(part), format);
        QCOMPARE(all.contains(NoteStart), note);
    }
    // The PDF's text comes back in lines the layout chose, with blanks of its own.
    const QString fromPdf = withoutBlanks(QString::fromUtf8(pdfText));
    for (const QString &line : lines)
        QVERIFY2(fromPdf.contains(withoutBlanks(line)), qPrintable(line));
    for (const QString &part : absent)
        QVERIFY(!fromPdf.contains(withoutBlanks(part)));
    QCOMPARE(fromPdf.contains(withoutBlanks(NoteStart)), note);

    // The error line keeps its red where the format has colours.
    if (failed) {
        QCOMPARE(odfColoursOf(contentXml, ErrorLine), QStringList {QStringLiteral("#ff0000")});
        const QString markup = QString::fromUtf8(readAll(html));
        const QRegularExpression redSpan(
            QStringLiteral("<span style=\"[^\"]*color:#ff0000;[^\"]*\">")
            + QRegularExpression::escape(ErrorLine));
        QVERIFY2(markup.contains(redSpan), qPrintable(markup));
    }
}

void TestSheet::reportKeepsItsFormats_data()
{
    QTest::addColumn<weld::Input>("in");
    QTest::newRow("four lines") << input(weld::Form::Lap, weld::Grade::Third, weld::Electrode::E50,
                                         12, 300);
    QTest::newRow("error line") << input(weld::Form::DoubleFillet, weld::Grade::First,
                                         weld::Electrode::E43, 1e20, 1);
}

void TestSheet::reportKeepsItsFormats()
{
    QFETCH(weld::Input, in);
    QTextDocument report;
    writeReport(in, &report);
    const auto document = sheet::makeDocument(sheet::calculate(in, Time));

    // The report's first line is found in the sheet; from there every character of the
    // report has the format the window's view gives it.
    const QTextBlock first = report.firstBlock();
    QTextBlock block = document->firstBlock();
    while (block.isValid() && block.text() != first.text())
        block = block.next();
    QVERIFY(block.isValid());
    int lines = 0;
    for (QTextBlock want = first; want.isValid() && want.length() > 1;
         want = want.next(), block = block.next(), ++lines) {
        QVERIFY(block.isValid());
        QCOMPARE(block.text(), want.text());
        QCOMPARE(block.blockFormat().alignment(), want.blockFormat().alignment());
        for (int i = 0; i < want.length() - 1; ++i) {
            QTextCursor expected(want);
            expected.setPosition(want.position() + i + 1);
            QTextCursor actual(block);
            actual.setPosition(block.position() + i + 1);
            QCOMPARE(actual.charFormat(), expected.charFormat());
        }
    }
    QCOMPARE(lines, report.blockCount() - 1);
}

void TestSheet::pdfIsA4WithEmbeddedFonts()
{
    const auto document = sheet::makeDocument(sheet::calculate(
        input(weld::Form::SingleFillet, weld::Grade::First, weld::Electrode::E43, 10, 1000), Time));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    QVERIFY(sheet::save(*document, pdf).ok());

    const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {pdf}));
    QVERIFY2(info.contains(QRegularExpression(
                 QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts"))),
             qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Jointrix"))),
             qPrintable(info));

    // pdffonts prints a table: a header naming the columns, a rule, one font a line.
    const QStringList table = QString::fromUtf8(run(QStringLiteral("pdffonts"), {pdf}))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(table.size() > 2);
    const qsizetype emb = table[0].indexOf(QLatin1String("emb"));
    QVERIFY(emb > 0);
    const QStringList fonts = table.mid(2);
    for (const QString &font : fonts)
        QVERIFY2(font.mid(emb, 3) == QLatin1String("yes"), qPrintable(font));
    // The Chinese text needs a CJK face of its own beside the report's Latin face.
    QVERIFY2(fonts.size() >= 2, qPrintable(table.join(QLatin1Char('\n'))));
}

void TestSheet::formatOfName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format"); // -1: none

    QTest::newRow("pdf") << QStringLiteral("a/sheet.pdf") << int(sheet::Format::Pdf);
    QTest::newRow("upper case") << QStringLiteral("SHEET.PDF") << int(sheet::Format::Pdf);
    QTest::newRow("odt") << QStringLiteral("sheet.odt") << int(sheet::Format::Odf);
    QTest::newRow("html") << QStringLiteral("sheet.html") << int(sheet::Format::Html);
    QTest::newRow("htm") << QStringLiteral("sheet.Htm") << int(sheet::Format::Html);
    QTest::newRow("txt") << QStringLiteral("sheet.txt") << int(sheet::Format::Text);
    QTest::newRow("last suffix counts")
        << QStringLiteral("sheet.pdf.txt") << int(sheet::Format::Text);
    QTest::newRow("other") << QStringLiteral("sheet.doc") << -1;
    QTest::newRow("no suffix") << QStringLiteral("pdf") << -1;
    QTest::newRow("dot in folder") << QStringLiteral("out.pdf/sheet") << -1;
}

void TestSheet::formatOfName()
{
    QFETCH(QString, name);
    QFETCH(int, format);
    const std::optional<sheet::Format> got = sheet::formatOf(name);
    QCOMPARE(got ? int(*got) : -1, format);
    if (got)
        QCOMPARE(sheet::formatOf(QStringLiteral("x.") + sheet::extension(*got)), got);
}

void TestSheet::failedSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");

    QTest::newRow("unknown extension")
        << QStringLiteral("sheet.doc") << QStringLiteral("unknown file type");
    QTest::newRow("missing folder") << QStringLiteral("missing/sheet.pdf") << QString();
    QTest::newRow("folder in the way") << QStringLiteral("folder.html") << QString();
}

void TestSheet::failedSave()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.html")));
    const auto document = sheet::makeDocument(sheet::calculate(
        input(weld::Form::SingleFillet, weld::Grade::First, weld::Electrode::E43, 10, 1000), Time));

    const sheet::WriteResult result = sheet::save(*document, dir.filePath(name));
    QVERIFY(!result.ok());
    QVERIFY2(result.error.contains(reason), qPrintable(result.error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList {QStringLiteral("folder.html")});
}

void TestSheet::interruptedSaveKeepsOlderFile_data()
{
    QTest::addColumn<sheet::Format>("format");
    QTest::newRow("pdf") << sheet::Format::Pdf;
    QTest::newRow("odt") << sheet::Format::Odf;
    QTest::newRow("html") << sheet::Format::Html;
    QTest::newRow("txt") << sheet::Format::Text;
}

void TestSheet::interruptedSaveKeepsOlderFile()
{
    QFETCH(sheet::Format, format);
    QTemporaryDir dir;
    const QString name = QStringLiteral("sheet.") + sheet::extension(format);
    const QString path = dir.filePath(name);
    {
        QFile older(path);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("older sheet");
    }
    const auto document = sheet::makeDocument(sheet::calculate(
        input(weld::Form::Butt, weld::Grade::First, weld::Electrode::E43, 10, 1000), Time));

    sheet::WriteResult result;
    {
        // Every format's sheet is larger than this: the write fails part of the way through.
        const FileSizeLimit limit(256);
        QVERIFY(limit.isSet());
        result = sheet::save(*document, path);
    }
    QVERIFY(!result.ok());
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readAll(path), QByteArray("older sheet"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {name});

    // Without the limit the same save goes through.
    QVERIFY(sheet::save(*document, path).ok());
    QVERIFY(readAll(path).size() > 256);
}

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
