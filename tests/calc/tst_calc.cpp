#include "../common/LocaleText.h"
#include "calc/U_Class.h"
#include "calc/Weld.h"
#include "platform/numtext/NumText.h"

#include <QMetaProperty>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>
#include <limits>

namespace {

struct Inputs
{
    int calType = 0;
    int grade = 0;
    int style = 0;
    double hf = 10;
    double lf = 1000;
};

// Runs one calculation into a fresh document and returns the document's lines.
QStringList calculate(QTextDocument &document, const Inputs &in)
{
    TReportView view(&document);
    TJointrix calculation;
    calculation.setCalType(in.calType);
    calculation.setGrade(in.grade);
    calculation.setStyle(in.style);
    calculation.setHf(in.hf);
    calculation.setLf(in.lf);
    calculation.Calculate(&view);
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines << block.text();
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QTextCharFormat formatAt(QTextDocument &document, int position)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

const QString ErrorLine = QStringLiteral("计算结果出错！请重新调整已知参数！");

} // namespace

Q_DECLARE_METATYPE(Inputs)

class TestCalc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buttStrengths_data();
    void buttStrengths();
    void gradesZeroAndOneAgree();
    void lapEqualsButt();
    void filletIgnoresGradeAndThickness();
    void unknownCodes_data();
    void unknownCodes();
    void properties();
    void reports_data();
    void reports();
    void reportStyle();
    void errorLine_data();
    void errorLine();
    void formOutsideRangeLeavesViewEmpty_data();
    void formOutsideRangeLeavesViewEmpty();
    void secondCalculationReplacesFirst();
    void noViewIsNoReport();
    void choiceTables();
    void coreMatchesReport_data();
    void coreMatchesReport();
};

void TestCalc::buttStrengths_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("grade");
    QTest::addColumn<double>("hf");
    QTest::addColumn<double>("compressive");
    QTest::addColumn<double>("tensile");
    QTest::addColumn<double>("shear");

    struct Row
    {
        const char *name;
        int style;
        double hf;
        double compressive, tensileGood, tensileThird, shear;
    };
    const Row rows[] = {
        {"E43 below zero", 0, -5, 215, 215, 185, 125},
        {"E43 zero", 0, 0, 215, 215, 185, 125},
        {"E43 16", 0, 16, 215, 215, 185, 125},
        {"E43 16.001", 0, 16.001, 205, 205, 175, 120},
        {"E43 35", 0, 35, 205, 205, 175, 120},
        {"E43 40", 0, 40, 205, 205, 175, 120},
        {"E43 50", 0, 50, 200, 200, 170, 115},
        {"E43 60", 0, 60, 200, 200, 170, 115},
        {"E43 60.5", 0, 60.5, 190, 190, 160, 110},
        {"E43 huge", 0, 1e300, 190, 190, 160, 110},
        {"E50 16", 1, 16, 310, 310, 265, 180},
        {"E50 16.001", 1, 16.001, 295, 295, 250, 170},
        {"E50 35", 1, 35, 295, 295, 250, 170},
        {"E50 40", 1, 40, 265, 265, 225, 155},
        {"E50 50", 1, 50, 265, 265, 225, 155},
        {"E50 60", 1, 60, 250, 250, 210, 145},
        {"E50 huge", 1, 1e9, 250, 250, 210, 145},
        {"E55 16", 2, 16, 350, 350, 300, 205},
        {"E55 16.001", 2, 16.001, 335, 335, 285, 190},
        {"E55 35", 2, 35, 335, 335, 285, 190},
        {"E55 40", 2, 40, 315, 315, 270, 180},
        {"E55 50", 2, 50, 315, 315, 270, 180},
        {"E55 60", 2, 60, 295, 295, 250, 170},
        {"E55 huge", 2, 1e9, 295, 295, 250, 170},
    };
    for (const Row &row : rows) {
        QTest::addRow("%s, grade 0", row.name)
            << row.style << 0 << row.hf << row.compressive << row.tensileGood << row.shear;
        QTest::addRow("%s, grade 2", row.name)
            << row.style << 2 << row.hf << row.compressive << row.tensileThird << row.shear;
    }
}

void TestCalc::buttStrengths()
{
    QFETCH(int, style);
    QFETCH(int, grade);
    QFETCH(double, hf);
    QFETCH(double, compressive);
    QFETCH(double, tensile);
    QFETCH(double, shear);
    const WeldStrengths s = SelectStrengths(2, style, grade, hf);
    QCOMPARE(s.CompressiveStrength, compressive);
    QCOMPARE(s.TensileStrength, tensile);
    QCOMPARE(s.ShearStrength, shear);
}

void TestCalc::gradesZeroAndOneAgree()
{
    for (int style = 0; style < 3; ++style) {
        for (double hf : {1.0, 16.0, 20.0, 38.0, 45.0, 55.0, 100.0}) {
            const WeldStrengths first = SelectStrengths(2, style, 0, hf);
            const WeldStrengths second = SelectStrengths(2, style, 1, hf);
            const WeldStrengths third = SelectStrengths(2, style, 2, hf);
            QCOMPARE(second.TensileStrength, first.TensileStrength);
            QCOMPARE(first.TensileStrength, first.CompressiveStrength);
            QVERIFY(third.TensileStrength < first.TensileStrength);
        }
    }
}

void TestCalc::lapEqualsButt()
{
    for (int style = 0; style < 3; ++style) {
        for (int grade = 0; grade < 3; ++grade) {
            for (double hf : {10.0, 16.0, 36.0, 41.0, 51.0, 61.0}) {
                const WeldStrengths butt = SelectStrengths(2, style, grade, hf);
                const WeldStrengths lap = SelectStrengths(3, style, grade, hf);
                QCOMPARE(lap.CompressiveStrength, butt.CompressiveStrength);
                QCOMPARE(lap.TensileStrength, butt.TensileStrength);
                QCOMPARE(lap.ShearStrength, butt.ShearStrength);
            }
        }
    }
}

void TestCalc::filletIgnoresGradeAndThickness()
{
    const double expected[] = {160, 200, 220};
    for (int calType : {0, 1}) {
        for (int style = 0; style < 3; ++style) {
            for (int grade : {0, 1, 2, 9, -1}) {
                for (double hf : {-1.0, 0.0, 16.0, 70.0, 1e12})
                    QCOMPARE(SelectStrengths(calType, style, grade, hf).FilletStrength,
                             expected[style]);
            }
        }
    }
}

void TestCalc::unknownCodes_data()
{
    QTest::addColumn<Inputs>("inputs");

    QTest::newRow("fillet, electrode 3") << Inputs {0, 0, 3};
    QTest::newRow("double fillet, electrode -1") << Inputs {1, 0, -1};
    QTest::newRow("butt, grade 3") << Inputs {2, 3, 0};
    QTest::newRow("lap, grade -1") << Inputs {3, -1, 1};
    QTest::newRow("butt, electrode 5") << Inputs {2, 0, 5};
}

void TestCalc::unknownCodes()
{
    QFETCH(Inputs, inputs);
    QVERIFY_THROWS_EXCEPTION(UnknownCode,
                             SelectStrengths(inputs.calType, inputs.style, inputs.grade, 10));
    // In the report the same codes end in the error line alone.
    QTextDocument document;
    QCOMPARE(calculate(document, inputs), QStringList {ErrorLine});
}

void TestCalc::properties()
{
    const QMetaObject &meta = TJointrix::staticMetaObject;
    const QList<QPair<QString, QMetaType>> expected = {
        {QStringLiteral("CalType"), QMetaType::fromType<qint32>()},
        {QStringLiteral("Grade"), QMetaType::fromType<qint32>()},
        {QStringLiteral("Style"), QMetaType::fromType<qint32>()},
        {QStringLiteral("CalTypes"), QMetaType::fromType<QString>()},
        {QStringLiteral("Grades"), QMetaType::fromType<QString>()},
        {QStringLiteral("Styles"), QMetaType::fromType<QString>()},
        {QStringLiteral("Lf"), QMetaType::fromType<double>()},
        {QStringLiteral("Hf"), QMetaType::fromType<double>()},
    };
    QCOMPARE(meta.propertyCount() - meta.propertyOffset(), expected.size());
    TJointrix object;
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaProperty property = meta.property(meta.propertyOffset() + i);
        QCOMPARE(QString::fromLatin1(property.name()), expected[i].first);
        QCOMPARE(property.metaType(), expected[i].second);
        // A new object holds zeros and empty texts.
        const QVariant initial = property.read(&object);
        QVERIFY(initial == QVariant(expected[i].second) || initial.toString().isEmpty());
    }
    QVERIFY(object.setProperty("Hf", 16.5));
    QVERIFY(object.setProperty("CalType", 3));
    QVERIFY(object.setProperty("Styles", QStringLiteral("E55型")));
    QCOMPARE(object.Hf(), 16.5);
    QCOMPARE(object.CalType(), 3);
    QCOMPARE(object.property("Styles").toString(), QStringLiteral("E55型"));
}

void TestCalc::reports_data()
{
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("single fillet, starting values")
        << Inputs {0, 0, 0, 10, 1000}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；")};
    QTest::newRow("double fillet, E50")
        << Inputs {1, 0, 1, 8, 200}
        << QStringList {QStringLiteral("双边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=2×200×8×200=640kN；"),
                        QStringLiteral("设计抗压荷载：N=2×200×8×200=640kN；"),
                        QStringLiteral("设计抗剪荷载：V=2×200×8×200=640kN；")};
    QTest::newRow("butt, third grade")
        << Inputs {2, 2, 0, 20, 100}
        << QStringList {QStringLiteral("平焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=175×20×100=350kN；"),
                        QStringLiteral("设计抗压荷载：N=205×20×100=410kN；"),
                        QStringLiteral("设计抗剪荷载：V=120×20×100=240kN；")};
    QTest::newRow("lap, E55") << Inputs {3, 0, 2, 16, 50}
                              << QStringList {
                                     QStringLiteral("搭接焊缝连接计算："),
                                     QStringLiteral("设计抗拉荷载：F=2×350×16×50=560kN；"),
                                     QStringLiteral("设计抗压荷载：N=2×350×16×50=560kN；"),
                                     QStringLiteral("设计抗剪荷载：V=2×205×16×50=328kN；")};
    QTest::newRow("fillet ignores the grade")
        << Inputs {0, 2, 0, 10, 1000}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；")};
    QTest::newRow("fractional load")
        << Inputs {0, 0, 0, 7, 33}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×7×33=36.96kN；"),
                        QStringLiteral("设计抗压荷载：N=160×7×33=36.96kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×7×33=36.96kN；")};
    QTest::newRow("negative length shows magnitudes")
        << Inputs {0, 0, 0, 10, -1}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×10×1=1.6kN；"),
                        QStringLiteral("设计抗压荷载：N=160×10×1=1.6kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×10×1=1.6kN；")};
    QTest::newRow("negative thickness, first band")
        << Inputs {2, 0, 0, -1, -1}
        << QStringList {QStringLiteral("平焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=215×1×1=0.215kN；"),
                        QStringLiteral("设计抗压荷载：N=215×1×1=0.215kN；"),
                        QStringLiteral("设计抗剪荷载：V=125×1×1=0.125kN；")};
    QTest::newRow("loads rounded to 3 decimals")
        << Inputs {0, 0, 0, 0.12345, 1}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×0.123×1=0.02kN；"),
                        QStringLiteral("设计抗压荷载：N=160×0.123×1=0.02kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×0.123×1=0.02kN；")};
}

void TestCalc::reports()
{
    QFETCH(Inputs, inputs);
    QFETCH(QStringList, lines);
    QTextDocument document;
    QStringList expected;
    for (const QString &line : lines)
        expected << localized(line);
    QCOMPARE(calculate(document, inputs), expected);
}

void TestCalc::reportStyle()
{
    QTextDocument document;
    calculate(document, Inputs {});
    // Style 3 everywhere, heading included: 12-point black regular Times New Roman.
    for (int position = 0; position < document.characterCount() - 1; ++position) {
        const QTextCharFormat f = formatAt(document, position);
        QCOMPARE(f.fontFamilies().toStringList(), QStringList {QStringLiteral("Times New Roman")});
        QCOMPARE(f.fontPointSize(), 12.0);
        QCOMPARE(f.foreground().color(), QColor(0, 0, 0));
        QCOMPARE(f.fontWeight(), int(QFont::Normal));
        QCOMPARE(f.property(CharSetProperty).toInt(), 134);
        QCOMPARE(f.verticalAlignment(), QTextCharFormat::AlignNormal);
    }
}

void TestCalc::errorLine_data()
{
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<QStringList>("before");

    // Loads that overflow fail before anything is written.
    QTest::newRow("overflowing load") << Inputs {0, 0, 0, 1e300, 1e300} << QStringList {};
    QTest::newRow("load that is not a number")
        << Inputs {0, 0, 0, std::numeric_limits<double>::infinity(), 0} << QStringList {};
    // A thickness too large to print fails inside the first result line.
    QTest::newRow("unprintable thickness")
        << Inputs {0, 0, 0, 1e16, 1e-20} << QStringList {QStringLiteral("单边角焊缝连接计算：")};
    QTest::newRow("unprintable length")
        << Inputs {2, 1, 1, 1e-20, 1e17} << QStringList {QStringLiteral("平焊缝连接计算：")};
}

void TestCalc::errorLine()
{
    QFETCH(Inputs, inputs);
    QFETCH(QStringList, before);

    QTextDocument document;
    const QStringList lines = calculate(document, inputs);
    QCOMPARE(lines, before + QStringList {ErrorLine});
    const int errorStart = document.findBlockByNumber(int(before.size())).position();
    const QTextCharFormat f = formatAt(document, errorStart);
    QCOMPARE(f.foreground().color(), QColor(255, 0, 0));
    QCOMPARE(f.fontPointSize(), 12.0);
    QCOMPARE(f.fontWeight(), int(QFont::Normal));
}

void TestCalc::formOutsideRangeLeavesViewEmpty_data()
{
    QTest::addColumn<int>("calType");
    QTest::newRow("4") << 4;
    QTest::newRow("-1") << -1;
}

void TestCalc::formOutsideRangeLeavesViewEmpty()
{
    QFETCH(int, calType);
    QTextDocument document;
    document.setPlainText(QStringLiteral("old report"));
    QCOMPARE(calculate(document, Inputs {calType}), QStringList());
    QCOMPARE(document.toPlainText(), QString());
}

void TestCalc::secondCalculationReplacesFirst()
{
    QTextDocument document;
    TReportView view(&document);
    for (int form : {2, 0}) {
        TJointrix calculation;
        calculation.setCalType(form);
        calculation.setHf(10);
        calculation.setLf(1000);
        calculation.Calculate(&view);
    }
    QCOMPARE(document.blockCount(), 5);
    QCOMPARE(document.firstBlock().text(), QStringLiteral("单边角焊缝连接计算："));
}

void TestCalc::noViewIsNoReport()
{
    // A caller that has no view yet gets nothing written, not a crash.
    TJointrix calculation;
    calculation.setHf(10);
    calculation.setLf(1000);
    calculation.Calculate(nullptr);
    TLxobj base;
    base.Calculate(nullptr);
}

void TestCalc::choiceTables()
{
    // The names scripts use and the texts of the window's lists, by code.
    const QList<QPair<std::string_view, QString>> forms = {{"single", QStringLiteral("单边角焊缝")},
                                                           {"double", QStringLiteral("双边角焊缝")},
                                                           {"butt", QStringLiteral("平焊缝连接")},
                                                           {"lap", QStringLiteral("搭接焊缝连接")}};
    for (qint32 i = 0; i < forms.size(); ++i) {
        const auto form = weld::fromCode<weld::Form>(i);
        QVERIFY(form);
        QCOMPARE(weld::code(*form), i);
        QCOMPARE(weld::name(*form), forms[i].first);
        QCOMPARE(weld::displayText(*form), forms[i].second);
        QCOMPARE(weld::fromName<weld::Form>(forms[i].first), form);
        QCOMPARE(weld::usesGrade(*form), i >= 2);
    }
    const QStringList grades
        = {QStringLiteral("一级"), QStringLiteral("二级"), QStringLiteral("三级")};
    const QStringList electrodes
        = {QStringLiteral("E43型"), QStringLiteral("E50型"), QStringLiteral("E55型")};
    const std::string_view gradeNames[] = {"1", "2", "3"};
    const std::string_view electrodeNames[] = {"E43", "E50", "E55"};
    for (qint32 i = 0; i < 3; ++i) {
        QCOMPARE(weld::displayText(*weld::fromCode<weld::Grade>(i)), grades[i]);
        QCOMPARE(weld::name(*weld::fromCode<weld::Grade>(i)), gradeNames[i]);
        QCOMPARE(weld::displayText(*weld::fromCode<weld::Electrode>(i)), electrodes[i]);
        QCOMPARE(weld::name(*weld::fromCode<weld::Electrode>(i)), electrodeNames[i]);
    }
    for (qint32 outside : {-1, 4})
        QVERIFY(!weld::fromCode<weld::Form>(outside));
    QVERIFY(!weld::fromCode<weld::Grade>(3));
    QVERIFY(!weld::fromCode<weld::Electrode>(-1));
    for (std::string_view unknown : {"", "Single", "e43", "0", "4"}) {
        QVERIFY(!weld::fromName<weld::Form>(unknown));
        QVERIFY(!weld::fromName<weld::Grade>(unknown));
        QVERIFY(!weld::fromName<weld::Electrode>(unknown));
    }
}

void TestCalc::coreMatchesReport_data()
{
    QTest::addColumn<Inputs>("inputs");

    QTest::newRow("single fillet") << Inputs {0, 0, 0, 10, 1000};
    QTest::newRow("double fillet, E55") << Inputs {1, 1, 2, 7, 33};
    QTest::newRow("butt, third grade, second band") << Inputs {2, 2, 1, 16.5, 250};
    QTest::newRow("lap, E43, last band") << Inputs {3, 0, 0, 61, 0.5};
    QTest::newRow("negative inputs") << Inputs {3, 1, 1, -1, -1};
    QTest::newRow("overflowing load") << Inputs {1, 0, 0, 1e300, 1e300};
    QTest::newRow("unprintable thickness") << Inputs {0, 0, 0, 1e16, 1e-20};
    QTest::newRow("unprintable length") << Inputs {2, 1, 1, 1e-20, 1e17};
    QTest::newRow("unprintable load") << Inputs {2, 0, 0, 1e9, 1e9};
    QTest::newRow("thickness not a number")
        << Inputs {0, 0, 0, std::numeric_limits<double>::quiet_NaN(), 1};
}

void TestCalc::coreMatchesReport()
{
    // The report is written from the core's result: the same strengths and loads, and an
    // error line exactly where the core says the calculation failed.
    QFETCH(Inputs, inputs);
    weld::Input input;
    input.form = *weld::fromCode<weld::Form>(inputs.calType);
    input.grade = *weld::fromCode<weld::Grade>(inputs.grade);
    input.electrode = *weld::fromCode<weld::Electrode>(inputs.style);
    input.hf = inputs.hf;
    input.lf = inputs.lf;
    const weld::Result result = weld::calculate(input);

    QTextDocument document;
    const QStringList lines = calculate(document, inputs);
    QCOMPARE(lines.contains(ErrorLine), !result.ok());
    if (!result.ok())
        return;
    QCOMPARE(lines.size(), 4);
    const WeldStrengths table
        = SelectStrengths(inputs.calType, inputs.style, inputs.grade, inputs.hf);
    const bool fillet = !weld::usesGrade(input.form);
    QCOMPARE(result.strengths.tensile, fillet ? table.FilletStrength : table.TensileStrength);
    QCOMPARE(result.strengths.compressive,
             fillet ? table.FilletStrength : table.CompressiveStrength);
    QCOMPARE(result.strengths.shear, fillet ? table.FilletStrength : table.ShearStrength);
    const double loads[] = {result.f, result.n, result.v};
    for (int i = 0; i < 3; ++i) {
        const QString tail
            = QStringLiteral("=") + TLxobj::FormatNumber(loads[i], 3) + QStringLiteral("kN；");
        QVERIFY2(lines[i + 1].endsWith(tail), qPrintable(lines[i + 1]));
    }
    const double factor = weld::loadFactor(input.form);
    QCOMPARE(result.f, factor * result.strengths.tensile * inputs.hf * inputs.lf / 1000);
}

QTEST_MAIN(TestCalc)
#include "tst_calc.moc"
