#include "../common/LocaleText.h"
#include "platform/numtext/NumText.h"
#include "report/uBaseClass.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <limits>

namespace {

// What the writer left on one character of the document.
struct Look
{
    QString family;
    qreal size = 0;
    QColor color;
    bool bold = false;
    int script = 0; // 0 none, 1 subscript, 2 superscript
    int charset = 0;
};

Look lookAt(QTextDocument &document, int position)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    const QTextCharFormat f = cursor.charFormat();
    Look look;
    look.family = f.fontFamilies().toStringList().value(0);
    look.size = f.fontPointSize();
    look.color = f.foreground().color();
    look.bold = f.fontWeight() == QFont::Bold;
    look.script = f.verticalAlignment() == QTextCharFormat::AlignSubScript ? 1
        : f.verticalAlignment() == QTextCharFormat::AlignSuperScript       ? 2
                                                                           : 0;
    look.charset = f.property(CharSetProperty).toInt();
    return look;
}

QString scripts(QTextDocument &document, int from, int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += QChar(u'0' + lookAt(document, from + i).script);
    return out;
}

class Report
{
public:
    Report()
        : view(&document)
    {
        base.Calculate(&view);
    }

    QTextDocument document;
    TReportView view;
    TLxobj base;
};

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatNumber_data();
    void formatNumber();
    void formatNumberRefuses_data();
    void formatNumberRefuses();
    void markup_data();
    void markup();
    void markupAfterFirstLine();
    void styles_data();
    void styles();
    void styleOutsideTableKeepsSizeAndColour();
    void styleSixKeepsMarkedRangesInReportFont();
    void lineBreaksInsideLine();
    void insertionPointAfterLine();
    void calculateClearsAndAligns();
    void calculateWithoutView();
    void viewLines_data();
    void viewLines();
    void selectionIsClamped();
};

void TestReport::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rounded") << 12.3456 << 3 << QStringLiteral("12.346");
    QTest::newRow("shorter than decimals") << 12.5 << 3 << QStringLiteral("12.5");
    QTest::newRow("whole") << 100.0 << 3 << QStringLiteral("100");
    QTest::newRow("negative to zero") << -0.0004 << 3 << QStringLiteral("0");
    QTest::newRow("sign dropped, half to even") << -2.5 << 0 << QStringLiteral("2");
    QTest::newRow("half to even, up") << 3.5 << 0 << QStringLiteral("4");
    QTest::newRow("fixed small") << 0.0001 << 4 << QStringLiteral("0.0001");
    QTest::newRow("exponent small") << 0.00005 << 5 << QStringLiteral("5E-5");
    QTest::newRow("exponent large") << 1e15 << 3 << QStringLiteral("1E15");
    QTest::newRow("sixteen digits cut")
        << 1234567890123456.0 << 0 << QStringLiteral("1.23456789012346E15");
    QTest::newRow("binary above half") << 2.0005 << 3 << QStringLiteral("2.001");
    QTest::newRow("binary below half") << 1.0005 << 3 << QStringLiteral("1");
    QTest::newRow("load of 7 x 33") << 160 * 7.0 * 33 / 1000 << 3 << QStringLiteral("36.96");
    QTest::newRow("negative decimals") << 1234.5 << -1 << QStringLiteral("1230");
    QTest::newRow("zero") << 0.0 << 3 << QStringLiteral("0");
}

void TestReport::formatNumber()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(TLxobj::FormatNumber(value, static_cast<qint8>(decimals)), localized(expected));
}

void TestReport::formatNumberRefuses_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");

    QTest::newRow("10^16 with 3") << 1e16 << 3;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 3;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 3;
    QTest::newRow("40 decimals") << 1.0 << 40;
}

void TestReport::formatNumberRefuses()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QVERIFY_THROWS_EXCEPTION(numtext::InvalidOperation,
                             TLxobj::FormatNumber(value, static_cast<qint8>(decimals)));
}

void TestReport::markup_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("scripts"); // per shown character: 0 none, 1 sub, 2 super

    QTest::newRow("subscript") << QStringLiteral("H$2$O") << QStringLiteral("H2O")
                               << QStringLiteral("010");
    QTest::newRow("superscript") << QStringLiteral("m#2#") << QStringLiteral("m2")
                                 << QStringLiteral("02");
    QTest::newRow("unpaired") << QStringLiteral("a$b") << QStringLiteral("ab")
                              << QStringLiteral("00");
    QTest::newRow("empty pair") << QStringLiteral("$$") << QString() << QString();
    QTest::newRow("nested") << QStringLiteral("a$b#c#d$e") << QStringLiteral("abcde")
                            << QStringLiteral("01210");
    QTest::newRow("crossing") << QStringLiteral("a$b#c$d#e") << QStringLiteral("abcde")
                              << QStringLiteral("01220");
    QTest::newRow("two pairs") << QStringLiteral("$a$b$c$") << QStringLiteral("abc")
                               << QStringLiteral("101");
    QTest::newRow("third marker unpaired")
        << QStringLiteral("#a#b#c") << QStringLiteral("abc") << QStringLiteral("200");
    QTest::newRow("empty line") << QString() << QString() << QString();
    // The line makes a round trip through code page 936 before the scan.
    QTest::newRow("chinese unchanged")
        << QStringLiteral("荷载$F$") << QStringLiteral("荷载F") << QStringLiteral("001");
    QTest::newRow("symbols of the report")
        << QStringLiteral("×：；") << QStringLiteral("×：；") << QStringLiteral("000");
    QTest::newRow("outside the code page")
        << QStringLiteral("a☃$b$") << QStringLiteral("a?b") << QStringLiteral("001");
    QTest::newRow("outside the plane counts once")
        << QStringLiteral("\U0001F600$b$") << QStringLiteral("?b") << QStringLiteral("01");
    QTest::newRow("unpaired surrogate") << QString(QChar(0xD800)) + QStringLiteral("$b$")
                                        << QStringLiteral("?b") << QStringLiteral("01");
    QTest::newRow("euro sign") << QStringLiteral("€") << QStringLiteral("€") << QStringLiteral("0");
}

void TestReport::markup()
{
    QFETCH(QString, line);
    QFETCH(QString, shown);
    QFETCH(QString, scripts);

    Report r;
    TLxobj::WriteLine(&r.view, line, 3);
    QCOMPARE(r.document.toPlainText(), shown + QLatin1Char('\n'));
    QCOMPARE(r.view.lineCount(), 1);
    QCOMPARE(::scripts(r.document, 0, int(shown.size())), scripts);
    for (int i = 0; i < shown.size(); ++i)
        QCOMPARE(lookAt(r.document, i).family, QStringLiteral("Times New Roman"));
}

void TestReport::markupAfterFirstLine()
{
    Report r;
    TLxobj::WriteLine(&r.view, QStringLiteral("0123456789"), 3);
    TextStyles styles;
    TLxobj::ScanMarkup(QStringLiteral("x#2#"), QLatin1Char('#'), QLatin1Char('$'),
                       r.view.lineStart(r.view.lineCount()), styles);
    QCOMPARE(styles.size(), 1);
    QCOMPARE(styles[0].Start, 12);
    QCOMPARE(styles[0].Length, 1);
    QCOMPARE(styles[0].Script, quint8(2));
    QCOMPARE(styles[0].FontName, QStringLiteral("Times New Roman"));

    TLxobj::WriteLine(&r.view, QStringLiteral("x#2#"), 3);
    QCOMPARE(r.document.toPlainText(), QStringLiteral("0123456789\nx2\n"));
    QCOMPARE(scripts(r.document, 11, 2), QStringLiteral("02"));
    QCOMPARE(lookAt(r.document, 10).script, 0); // the line break
}

void TestReport::styles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("size");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("bold");

    const QString tnr = QStringLiteral("Times New Roman");
    const QColor black(0, 0, 0);
    QTest::newRow("0") << 0 << tnr << 22 << black << true;
    QTest::newRow("1") << 1 << tnr << 16 << black << true;
    QTest::newRow("2") << 2 << tnr << 12 << QColor(0, 128, 0) << false;
    QTest::newRow("3") << 3 << tnr << 12 << black << false;
    QTest::newRow("4") << 4 << tnr << 14 << black << true;
    QTest::newRow("5") << 5 << tnr << 12 << QColor(255, 0, 0) << false;
    QTest::newRow("6") << 6 << QStringLiteral("宋体") << 14 << black << false;
    QTest::newRow("7") << 7 << tnr << 14 << QColor(255, 0, 0) << true;
}

void TestReport::styles()
{
    QFETCH(int, style);
    QFETCH(QString, family);
    QFETCH(int, size);
    QFETCH(QColor, color);
    QFETCH(bool, bold);

    Report r;
    // A bold, italic, underlined first line must not leak into the styled one.
    QTextCharFormat loud;
    loud.setFontItalic(true);
    loud.setFontUnderline(true);
    loud.setFontStrikeOut(true);
    loud.setFontWeight(QFont::Bold);
    r.view.mergeSelectionFormat(loud);
    TLxobj::AppendLine(&r.view, QStringLiteral("x"));

    TLxobj::WriteLine(&r.view, QStringLiteral("ab"), static_cast<quint8>(style));
    for (int position : {2, 3}) {
        const Look look = lookAt(r.document, position);
        QCOMPARE(look.family, family);
        QCOMPARE(look.size, qreal(size));
        QCOMPARE(look.color, color);
        QCOMPARE(look.bold, bold);
        QCOMPARE(look.charset, 134);
    }
    QTextCursor cursor(&r.document);
    cursor.setPosition(3);
    QVERIFY(!cursor.charFormat().fontItalic());
    QVERIFY(!cursor.charFormat().fontUnderline());
    QVERIFY(!cursor.charFormat().fontStrikeOut());
}

void TestReport::styleOutsideTableKeepsSizeAndColour()
{
    Report r;
    TLxobj::WriteLine(&r.view, QStringLiteral("red"), 7);
    TLxobj::WriteLine(&r.view, QStringLiteral("kept"), 200);
    const Look look = lookAt(r.document, 4);
    QCOMPARE(look.family, QStringLiteral("Times New Roman"));
    QCOMPARE(look.charset, 134);
    QCOMPARE(look.bold, false);
    QCOMPARE(look.size, 14.0);
    QCOMPARE(look.color, QColor(255, 0, 0));
}

void TestReport::styleSixKeepsMarkedRangesInReportFont()
{
    Report r;
    TLxobj::WriteLine(&r.view, QStringLiteral("水H$2$O"), 6);
    QCOMPARE(lookAt(r.document, 0).family, QStringLiteral("宋体"));
    QCOMPARE(lookAt(r.document, 1).family, QStringLiteral("宋体"));
    QCOMPARE(lookAt(r.document, 2).family, QStringLiteral("Times New Roman"));
    QCOMPARE(lookAt(r.document, 2).script, 1);
    QCOMPARE(lookAt(r.document, 2).size, 14.0);
    QCOMPARE(lookAt(r.document, 3).family, QStringLiteral("宋体"));
}

void TestReport::lineBreaksInsideLine()
{
    // Each break character of a line is a line of its own, a CR LF pair two: the positions of
    // the marked ranges count them one each.
    Report r;
    TLxobj::WriteLine(&r.view, QStringLiteral("\r\n$x$"), 3);
    QCOMPARE(r.document.toPlainText(), QStringLiteral("\n\nx\n"));
    QCOMPARE(lookAt(r.document, 2).script, 1);
    QCOMPARE(r.view.lineStart(r.view.lineCount()), r.view.textLength());
    TLxobj::WriteLine(&r.view, QStringLiteral("a\n#b#"), 3);
    QCOMPARE(r.document.toPlainText(), QStringLiteral("\n\nx\na\nb\n"));
    QCOMPARE(lookAt(r.document, 4).script, 0);
    QCOMPARE(lookAt(r.document, 6).script, 2);
}

void TestReport::insertionPointAfterLine()
{
    Report r;
    TLxobj::WriteLine(&r.view, QStringLiteral("ab#2#"), 3);
    QCOMPARE(r.view.selLength(), 0);
    QCOMPARE(r.view.selStart(), r.view.textLength());
    // Whatever is typed or written next starts without an effect.
    TLxobj::AppendLine(&r.view, QStringLiteral("c"));
    QCOMPARE(lookAt(r.document, 4).script, 0);
}

void TestReport::calculateClearsAndAligns()
{
    Report r;
    TLxobj::WriteLine(&r.view, QStringLiteral("first report"), 0);
    TLxobj::WriteLine(&r.view, QStringLiteral("second line"), 3);
    QTextCursor cursor(&r.document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);

    r.base.Calculate(&r.view);
    QCOMPARE(r.document.toPlainText(), QString());
    QCOMPARE(r.view.lineCount(), 0);
    QCOMPARE(r.view.selStart(), 0);
    TLxobj::WriteLine(&r.view, QStringLiteral("a"), 3);
    TLxobj::WriteLine(&r.view, QStringLiteral("b"), 3);
    QCOMPARE(r.document.toPlainText(), QStringLiteral("a\nb\n"));
    for (QTextBlock block = r.document.begin(); block.isValid(); block = block.next())
        QCOMPARE(block.blockFormat().alignment(), Qt::AlignLeft);
}

void TestReport::calculateWithoutView()
{
    TLxobj base;
    base.Calculate(nullptr);
}

void TestReport::viewLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("starts");

    QTest::newRow("empty") << QStringList() << 0 << QList<int> {0};
    QTest::newRow("one") << QStringList {QStringLiteral("abc")} << 1 << QList<int> {0, 4};
    QTest::newRow("empty lines") << QStringList {QString(), QString()} << 2 << QList<int> {0, 1, 2};
    QTest::newRow("three") << QStringList {QStringLiteral("a"), QStringLiteral("bc"),
                                           QStringLiteral("def")}
                           << 3 << QList<int> {0, 2, 5, 9};
}

void TestReport::viewLines()
{
    QFETCH(QStringList, lines);
    QFETCH(int, count);
    QFETCH(QList<int>, starts);

    Report r;
    for (const QString &line : lines)
        r.view.appendLine(line);
    QCOMPARE(r.view.lineCount(), count);
    for (int i = 0; i < starts.size(); ++i)
        QCOMPARE(r.view.lineStart(i), starts[i]);
    QCOMPARE(r.view.lineStart(count + 5), r.view.textLength());
}

void TestReport::selectionIsClamped()
{
    Report r;
    r.view.appendLine(QStringLiteral("abc"));
    r.view.setSelStart(100);
    QCOMPARE(r.view.selStart(), 4);
    r.view.setSelStart(1);
    r.view.setSelLength(100);
    QCOMPARE(r.view.selStart(), 1);
    QCOMPARE(r.view.selLength(), 3);
    r.view.setSelLength(-2);
    QCOMPARE(r.view.selLength(), 0);
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
