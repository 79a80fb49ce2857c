#include <QProcess>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCalc(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(JOINTRIX_CALC_PATH), arguments);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

const QString ErrorLine = QStringLiteral("计算结果出错！请重新调整已知参数！");

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reports_data();
    void reports();
    void calculationError();
    void html();
    void help();
    void usageErrors_data();
    void usageErrors();
};

void TestCli::reports_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("defaults are the window's starting values")
        << QStringList {}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；")};
    QTest::newRow("butt, third grade")
        << QStringList {QStringLiteral("--form"), QStringLiteral("butt"), QStringLiteral("--grade"),
                        QStringLiteral("3"),      QStringLiteral("--hf"), QStringLiteral("20"),
                        QStringLiteral("--lf"),   QStringLiteral("100")}
        << QStringList {QStringLiteral("平焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=175×20×100=350kN；"),
                        QStringLiteral("设计抗压荷载：N=205×20×100=410kN；"),
                        QStringLiteral("设计抗剪荷载：V=120×20×100=240kN；")};
    QTest::newRow("equals form, E55 lap")
        << QStringList {QStringLiteral("--form=lap"), QStringLiteral("--electrode=E55"),
                        QStringLiteral("--hf=16"), QStringLiteral("--lf=50")}
        << QStringList {QStringLiteral("搭接焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=2×350×16×50=560kN；"),
                        QStringLiteral("设计抗压荷载：N=2×350×16×50=560kN；"),
                        QStringLiteral("设计抗剪荷载：V=2×205×16×50=328kN；")};
    QTest::newRow("negative and fractional values pass unchecked")
        << QStringList {QStringLiteral("--hf"), QStringLiteral("-1"), QStringLiteral("--lf"),
                        QStringLiteral("16.5")}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×1×16.5=2.64kN；"),
                        QStringLiteral("设计抗压荷载：N=160×1×16.5=2.64kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×1×16.5=2.64kN；")};
}

void TestCli::reports()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, lines);
    const Run run = runCalc(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void TestCli::calculationError()
{
    const Run run = runCalc({QStringLiteral("--hf"), QStringLiteral("1e300"),
                             QStringLiteral("--lf"), QStringLiteral("1e300")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, ErrorLine + QLatin1Char('\n'));
}

void TestCli::html()
{
    const Run run
        = runCalc({QStringLiteral("--format"), QStringLiteral("html"), QStringLiteral("--hf"),
                   QStringLiteral("1e16"), QStringLiteral("--lf"), QStringLiteral("1e-20")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.startsWith(QStringLiteral("<!DOCTYPE HTML")));
    QVERIFY(run.out.contains(QStringLiteral("Times New Roman")));
    QVERIFY(run.out.contains(QStringLiteral("font-size:12pt")));
    QVERIFY(run.out.contains(QStringLiteral("color:#ff0000")));
    QVERIFY(run.out.contains(ErrorLine));
}

void TestCli::help()
{
    const Run run = runCalc({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith(QStringLiteral("Usage: jointrix-calc")));
    QVERIFY(run.err.isEmpty());
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named"); // what the first line of the complaint must name

    QTest::newRow("unknown option")
        << QStringList {QStringLiteral("--bogus")} << QStringLiteral("'--bogus'");
    QTest::newRow("missing value")
        << QStringList {QStringLiteral("--hf")} << QStringLiteral("'--hf'");
    QTest::newRow("not a number") << QStringList {QStringLiteral("--lf"), QStringLiteral("abc")}
                                  << QStringLiteral("'abc' for option '--lf'");
    QTest::newRow("comma number") << QStringList {QStringLiteral("--hf"), QStringLiteral("1,5")}
                                  << QStringLiteral("'1,5' for option '--hf'");
    QTest::newRow("overflowing number")
        << QStringList {QStringLiteral("--hf"), QStringLiteral("1e400")}
        << QStringLiteral("'1e400' for option '--hf'");
    QTest::newRow("not finite") << QStringList {QStringLiteral("--hf"), QStringLiteral("nan")}
                                << QStringLiteral("'nan' for option '--hf'");
    QTest::newRow("grade 4") << QStringList {QStringLiteral("--grade"), QStringLiteral("4")}
                             << QStringLiteral("'4' for option '--grade'");
    QTest::newRow("grade 0") << QStringList {QStringLiteral("--grade=0")}
                             << QStringLiteral("'0' for option '--grade'");
    QTest::newRow("unknown form") << QStringList {QStringLiteral("--form"), QStringLiteral("tee")}
                                  << QStringLiteral("'tee' for option '--form'");
    QTest::newRow("unknown electrode")
        << QStringList {QStringLiteral("--electrode"), QStringLiteral("E60")}
        << QStringLiteral("'E60' for option '--electrode'");
    QTest::newRow("unknown format")
        << QStringList {QStringLiteral("--format"), QStringLiteral("pdf")}
        << QStringLiteral("'pdf' for option '--format'");
    QTest::newRow("stray argument") << QStringList {QStringLiteral("10")} << QStringLiteral("'10'");
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    const Run run = runCalc(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    const QString first = run.err.section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(first.contains(named), qPrintable(first));
    QVERIFY(run.err.contains(QStringLiteral("Usage: jointrix-calc")));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
