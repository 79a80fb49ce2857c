// jointrix-calc as scripts run it: the reports, the checked input, the usage errors, and a
// process that behaves the same whatever the locale, the Qt settings and the state of its
// standard output.

#include "../common/Environment.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

// What the program's standard output is connected to.
enum class Stdout : quint8 { Pipe, Full, Closed, BrokenPipe };

} // namespace

Q_DECLARE_METATYPE(Stdout)

namespace {

struct Run
{
    int exitCode = -1; // -1 also when the program was killed by a signal
    QString out;
    QString err;
};

Run runCalc(const QStringList &arguments,
            const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
            Stdout stdoutKind = Stdout::Pipe)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    int brokenPipe[2] = {-1, -1};
    switch (stdoutKind) {
    case Stdout::Pipe:
        break;
    case Stdout::Full:
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        break;
    case Stdout::Closed:
        process.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
        break;
    case Stdout::BrokenPipe:
        // A pipe whose reader is gone before the program writes; QProcess gives the child the
        // default SIGPIPE action.
        if (::pipe2(brokenPipe, O_CLOEXEC) != 0)
            return {};
        ::close(brokenPipe[0]);
        process.setChildProcessModifier([fd = brokenPipe[1]] { ::dup2(fd, STDOUT_FILENO); });
        break;
    }
    process.start(QStringLiteral(JOINTRIX_CALC_PATH), arguments);
    const bool finished = process.waitForFinished(30000);
    if (brokenPipe[1] >= 0)
        ::close(brokenPipe[1]);
    Run run;
    if (!finished || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString report(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

const QString ErrorLine = QStringLiteral("计算结果出错！请重新调整已知参数！");
const QStringList DefaultReport = {QStringLiteral("单边角焊缝连接计算："),
                                   QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
                                   QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
                                   QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；")};
const QString HelpPointer = QStringLiteral("Try 'jointrix-calc --help' for more information.");

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reports_data();
    void reports();
    void calculationError();
    void html();
    void helpAndVersion_data();
    void helpAndVersion();
    void usageErrors_data();
    void usageErrors();
    void fullStopWhateverTheLocale_data();
    void fullStopWhateverTheLocale();
    void anyQtPlatformAndNoNoise_data();
    void anyQtPlatformAndNoNoise();
    void writeFailures_data();
    void writeFailures();
    void tables_data();
    void tables();
    void sheetFiles_data();
    void sheetFiles();
    void tableFile();
};

void TestCli::reports_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("defaults are the window's starting values") << QStringList {} << DefaultReport;
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
    QTest::newRow("lowest thickness, longest length")
        << QStringList {QStringLiteral("--hf"), QStringLiteral("1"), QStringLiteral("--lf"),
                        QStringLiteral("10000")}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×1×10000=1600kN；"),
                        QStringLiteral("设计抗压荷载：N=160×1×10000=1600kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×1×10000=1600kN；")};
    QTest::newRow("highest thickness, shortest length, decimals")
        << QStringList {QStringLiteral("--hf=100"), QStringLiteral("--lf=1.5")}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×100×1.5=24kN；"),
                        QStringLiteral("设计抗压荷载：N=160×100×1.5=24kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×100×1.5=24kN；")};
    // Blanks around a number are all taken alike, whatever kind of blank.
    for (const char *blanked : {" 16", "16 ", "\t16", "16\t", "\n16\n"}) {
        QTest::addRow("blanks around %s", QByteArray(blanked).toPercentEncoding().constData())
            << QStringList {QStringLiteral("--hf"), QString::fromLatin1(blanked)}
            << QStringList {QStringLiteral("单边角焊缝连接计算："),
                            QStringLiteral("设计抗拉荷载：F=160×16×1000=2560kN；"),
                            QStringLiteral("设计抗压荷载：N=160×16×1000=2560kN；"),
                            QStringLiteral("设计抗剪荷载：V=160×16×1000=2560kN；")};
    }
    QTest::newRow("unchecked negative and fractional values")
        << QStringList {QStringLiteral("--unchecked"), QStringLiteral("--hf"), QStringLiteral("-1"),
                        QStringLiteral("--lf"), QStringLiteral("0.5")}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×1×0.5=0.08kN；"),
                        QStringLiteral("设计抗压荷载：N=160×1×0.5=0.08kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×1×0.5=0.08kN；")};
    // The thin-plate strengths of a butt weld for a negative thickness: the calculation
    // object's own edge case, reproduced on purpose.
    QTest::newRow("unchecked negative thickness of a butt weld")
        << QStringList {QStringLiteral("--hf"),       QStringLiteral("-20"),
                        QStringLiteral("--form"),     QStringLiteral("butt"),
                        QStringLiteral("--grade"),    QStringLiteral("3"),
                        QStringLiteral("--unchecked")}
        << QStringList {QStringLiteral("平焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=185×20×1000=3700kN；"),
                        QStringLiteral("设计抗压荷载：N=215×20×1000=4300kN；"),
                        QStringLiteral("设计抗剪荷载：V=125×20×1000=2500kN；")};
    QTest::newRow("unchecked length in exponent form")
        << QStringList {QStringLiteral("--unchecked"), QStringLiteral("--lf"),
                        QStringLiteral("1e15")}
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×10×1E15=1.6E15kN；"),
                        QStringLiteral("设计抗压荷载：N=160×10×1E15=1.6E15kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×10×1E15=1.6E15kN；")};
}

void TestCli::reports()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, lines);
    const Run run = runCalc(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, report(lines));
    QCOMPARE(run.err, QString());
}

void TestCli::calculationError()
{
    const Run run
        = runCalc({QStringLiteral("--unchecked"), QStringLiteral("--hf"), QStringLiteral("1e300"),
                   QStringLiteral("--lf"), QStringLiteral("1e300")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, ErrorLine + QLatin1Char('\n'));
}

void TestCli::html()
{
    const Run run
        = runCalc({QStringLiteral("--format"), QStringLiteral("html"),
                   QStringLiteral("--unchecked"), QStringLiteral("--hf"), QStringLiteral("1e16"),
                   QStringLiteral("--lf"), QStringLiteral("1e-20")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.startsWith(QStringLiteral("<!DOCTYPE HTML")));
    QVERIFY(run.out.endsWith(QStringLiteral("</html>\n")));
    QVERIFY(run.out.contains(QStringLiteral("Times New Roman")));
    QVERIFY(run.out.contains(QStringLiteral("font-size:12pt")));
    QVERIFY(run.out.contains(QStringLiteral("color:#ff0000")));
    QVERIFY(run.out.contains(ErrorLine));
    // Every style names a family: no empty declaration from a document without a font.
    QVERIFY2(!run.out.contains(QStringLiteral("font-family:;")), qPrintable(run.out));
}

void TestCli::helpAndVersion_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("start");

    const QString usage = QStringLiteral("Usage: jointrix-calc [options]\n");
    const QString version = QStringLiteral("jointrix-calc " JOINTRIX_VERSION "\n");
    QTest::newRow("--help") << QStringLiteral("--help") << usage;
    QTest::newRow("-h") << QStringLiteral("-h") << usage;
    QTest::newRow("--version") << QStringLiteral("--version") << version;
    QTest::newRow("-v") << QStringLiteral("-v") << version;
}

void TestCli::helpAndVersion()
{
    QFETCH(QString, argument);
    QFETCH(QString, start);
    const Run run = runCalc({argument});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(start), qPrintable(run.out));
    QVERIFY(run.out.endsWith(QLatin1Char('\n')));
    QCOMPARE(run.err, QString());
    if (start.startsWith(QLatin1String("Usage"))) {
        // The ranges and the exit statuses are part of the help.
        for (const QString &part :
             {QStringLiteral("--unchecked"), QStringLiteral("1 to 100"),
              QStringLiteral("1 to 10000"), QStringLiteral("single, double, butt or lap"),
              QStringLiteral("the output cannot be written")})
            QVERIFY2(run.out.contains(part), qPrintable(part));
    }
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("named"); // what the complaint's line must name

    const auto row = [](const char *name, const QStringList &arguments, const QStringList &named) {
        QTest::newRow(name) << arguments << named;
    };
    row("unknown option", {QStringLiteral("--bogus")}, {QStringLiteral("'--bogus'")});
    row("unknown option with a value", {QStringLiteral("--bogus=1")},
        {QStringLiteral("'--bogus'")});
    row("unknown short option", {QStringLiteral("-x")}, {QStringLiteral("'-x'")});
    row("missing value", {QStringLiteral("--hf")}, {QStringLiteral("'--hf'")});
    row("value for a flag", {QStringLiteral("--unchecked=yes")}, {QStringLiteral("'--unchecked'")});
    row("not a number", {QStringLiteral("--lf"), QStringLiteral("abc")},
        {QStringLiteral("'abc' for option '--lf'")});
    row("comma number", {QStringLiteral("--hf"), QStringLiteral("1,5")},
        {QStringLiteral("'1,5' for option '--hf'")});
    row("blank inside a number", {QStringLiteral("--hf"), QStringLiteral("1 6")},
        {QStringLiteral("'1 6' for option '--hf'")});
    row("overflowing number", {QStringLiteral("--unchecked"), QStringLiteral("--hf=1e400")},
        {QStringLiteral("'1e400' for option '--hf'")});
    row("not finite",
        {QStringLiteral("--unchecked"), QStringLiteral("--hf"), QStringLiteral("nan")},
        {QStringLiteral("'nan' for option '--hf'")});
    row("negative thickness", {QStringLiteral("--hf"), QStringLiteral("-20")},
        {QStringLiteral("'-20' for option '--hf'"), QStringLiteral("1 to 100")});
    row("thickness just below its range", {QStringLiteral("--hf=0.99")},
        {QStringLiteral("'0.99' for option '--hf'"), QStringLiteral("1 to 100")});
    row("thickness just above its range", {QStringLiteral("--hf=100.01")},
        {QStringLiteral("'100.01' for option '--hf'"), QStringLiteral("1 to 100")});
    row("zero length", {QStringLiteral("--lf"), QStringLiteral("0")},
        {QStringLiteral("'0' for option '--lf'"), QStringLiteral("1 to 10000")});
    row("length above its range", {QStringLiteral("--lf=1e5")},
        {QStringLiteral("'1e5' for option '--lf'"), QStringLiteral("1 to 10000")});
    row("grade 4", {QStringLiteral("--grade"), QStringLiteral("4")},
        {QStringLiteral("'4' for option '--grade'")});
    row("grade 0", {QStringLiteral("--grade=0")}, {QStringLiteral("'0' for option '--grade'")});
    row("sheet of an unknown format", {QStringLiteral("--output=sheet.doc")},
        {QStringLiteral("'sheet.doc' for option '--output'"), QStringLiteral(".pdf")});
    row("sheet with a format", {QStringLiteral("--output=s.pdf"), QStringLiteral("--format=html")},
        {QStringLiteral("'--format'"), QStringLiteral("'--output'")});
    row("table format for a report", {QStringLiteral("--format=csv")},
        {QStringLiteral("'csv' for option '--format'")});
    row("table into a sheet's format",
        {QStringLiteral("--table"), QStringLiteral("--output=table.pdf")},
        {QStringLiteral("'table.pdf' for option '--output'")});
    row("report format for a table", {QStringLiteral("--table"), QStringLiteral("--format=html")},
        {QStringLiteral("'html' for option '--format'")});
    row("table step zero", {QStringLiteral("--table"), QStringLiteral("--hf=4:20:0")},
        {QStringLiteral("'4:20:0' for option '--hf'")});
    row("table step negative", {QStringLiteral("--table"), QStringLiteral("--lf=100:200:-10")},
        {QStringLiteral("'100:200:-10' for option '--lf'")});
    row("table step of the wrong sign", {QStringLiteral("--table"), QStringLiteral("--hf=20:4:2")},
        {QStringLiteral("'20:4:2' for option '--hf'")});
    row("table length out of range", {QStringLiteral("--table"), QStringLiteral("--hf=0:8:2")},
        {QStringLiteral("'0:8:2' for option '--hf'"), QStringLiteral("1 to 100")});
    row("table of unknown forms", {QStringLiteral("--table"), QStringLiteral("--form=single,tee")},
        {QStringLiteral("'single,tee' for option '--form'")});
    row("table of more than ten million rows",
        {QStringLiteral("--table"), QStringLiteral("--form=all"), QStringLiteral("--grade=all"),
         QStringLiteral("--hf=1:100:0.1"), QStringLiteral("--lf=1:10000:1")},
        {QStringLiteral("10000000 rows")});
    row("unknown form", {QStringLiteral("--form"), QStringLiteral("tee")},
        {QStringLiteral("'tee' for option '--form'"),
         QStringLiteral("single, double, butt or lap")});
    row("unknown electrode", {QStringLiteral("--electrode"), QStringLiteral("E60")},
        {QStringLiteral("'E60' for option '--electrode'")});
    row("unknown format", {QStringLiteral("--format"), QStringLiteral("pdf")},
        {QStringLiteral("'pdf' for option '--format'")});
    row("stray argument", {QStringLiteral("10")}, {QStringLiteral("'10'")});
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, named);
    const Run run = runCalc(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    // One line naming what is wrong, then where to read more.
    QVERIFY2(run.err.endsWith(QLatin1Char('\n')), qPrintable(run.err));
    const QStringList lines = run.err.chopped(1).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].startsWith(QStringLiteral("jointrix-calc: ")), qPrintable(lines[0]));
    for (const QString &part : named)
        QVERIFY2(lines[0].contains(part), qPrintable(lines[0]));
    QCOMPARE(lines[1], HelpPointer);
}

void TestCli::fullStopWhateverTheLocale_data()
{
    QTest::addColumn<QStringList>("environment");

    const QString german = QStringLiteral("de_DE.UTF-8");
    QTest::newRow("LANG") << QStringList {QStringLiteral("-LC_ALL"), QStringLiteral("-LC_NUMERIC"),
                                          QStringLiteral("LANG=") + german};
    QTest::newRow("LC_NUMERIC") << QStringList {QStringLiteral("-LC_ALL"),
                                                QStringLiteral("LC_NUMERIC=") + german};
    QTest::newRow("LC_ALL") << QStringList {QStringLiteral("LC_ALL=") + german};
}

void TestCli::fullStopWhateverTheLocale()
{
    QFETCH(QStringList, environment);
    const QProcessEnvironment german = environmentWith(environment);

    const Run run = runCalc({QStringLiteral("--hf"), QStringLiteral("16.5"), QStringLiteral("--lf"),
                             QStringLiteral("17.5")},
                            german);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out,
             report({QStringLiteral("单边角焊缝连接计算："),
                     QStringLiteral("设计抗拉荷载：F=160×16.5×17.5=46.2kN；"),
                     QStringLiteral("设计抗压荷载：N=160×16.5×17.5=46.2kN；"),
                     QStringLiteral("设计抗剪荷载：V=160×16.5×17.5=46.2kN；")}));
    QCOMPARE(runCalc({QStringLiteral("--hf=16,5")}, german).exitCode, 2);
}

void TestCli::anyQtPlatformAndNoNoise_data()
{
    QTest::addColumn<QStringList>("environment");

    // Never a runtime directory, as under cron.
    const QStringList base = {QStringLiteral("-XDG_RUNTIME_DIR"), QStringLiteral("-DISPLAY"),
                              QStringLiteral("-WAYLAND_DISPLAY")};
    QTest::newRow("offscreen") << base;
    QTest::newRow("xcb without a display")
        << base + QStringList {QStringLiteral("QT_QPA_PLATFORM=xcb")};
    QTest::newRow("xcb with a display at no server") << base
            + QStringList {QStringLiteral("QT_QPA_PLATFORM=xcb"), QStringLiteral("DISPLAY=:8471")};
    QTest::newRow("wayland without a compositor") << base
            + QStringList {QStringLiteral("QT_QPA_PLATFORM=wayland"),
                           QStringLiteral("WAYLAND_DISPLAY=wayland-8471")};
    QTest::newRow("a platform that does not exist")
        << base + QStringList {QStringLiteral("QT_QPA_PLATFORM=bogus")};
    QTest::newRow("no platform named") << base + QStringList {QStringLiteral("-QT_QPA_PLATFORM")};
}

void TestCli::anyQtPlatformAndNoNoise()
{
    QFETCH(QStringList, environment);
    const Run run = runCalc({}, environmentWith(environment));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, report(DefaultReport));
    QCOMPARE(run.err, QString());
}

void TestCli::writeFailures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Stdout>("output");

    QTest::newRow("report to a full device") << QStringList {} << Stdout::Full;
    QTest::newRow("report to a closed output") << QStringList {} << Stdout::Closed;
    QTest::newRow("report into a broken pipe") << QStringList {} << Stdout::BrokenPipe;
    QTest::newRow("html into a broken pipe")
        << QStringList {QStringLiteral("--format=html")} << Stdout::BrokenPipe;
    // A lost report outranks a failed calculation.
    QTest::newRow("failed calculation to a full device")
        << QStringList {QStringLiteral("--unchecked"), QStringLiteral("--hf=1e300"),
                        QStringLiteral("--lf=1e300")}
        << Stdout::Full;
    QTest::newRow("help to a full device")
        << QStringList {QStringLiteral("--help")} << Stdout::Full;
    QTest::newRow("version into a broken pipe")
        << QStringList {QStringLiteral("--version")} << Stdout::BrokenPipe;
    QTest::newRow("table to a full device")
        << QStringList {QStringLiteral("--table")} << Stdout::Full;
    // Far more than a pipe holds: the writes fail while rows are still being calculated.
    QTest::newRow("large table into a broken pipe")
        << QStringList {QStringLiteral("--table"), QStringLiteral("--form=all"),
                        QStringLiteral("--grade=all"), QStringLiteral("--hf=1:100:1"),
                        QStringLiteral("--lf=1:1000:1")}
        << Stdout::BrokenPipe;
}

void TestCli::writeFailures()
{
    QFETCH(QStringList, arguments);
    QFETCH(Stdout, output);
    const Run run = runCalc(arguments, QProcessEnvironment::systemEnvironment(), output);
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.err.startsWith(QStringLiteral("jointrix-calc: cannot write")),
             qPrintable(run.err));
    QVERIFY(run.err.endsWith(QLatin1Char('\n')));
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    QVERIFY(QFileInfo(QStringLiteral("/dev/full")).exists()
            && !QFileInfo(QStringLiteral("/dev/full")).isFile());
}

void TestCli::tables_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("lines");

    const QString header = QStringLiteral("form,grade,electrode,hf,lf,F,N,V,status");
    // Forms outermost, then grades, electrodes, hf, lf; fillet rows for every grade asked for.
    QTest::newRow("forms, grades and lengths in order")
        << QStringList {QStringLiteral("--table"), QStringLiteral("--form=single,butt"),
                        QStringLiteral("--grade=2,3"), QStringLiteral("--hf=10:20:10"),
                        QStringLiteral("--lf=100")}
        << QStringList {header,
                        QStringLiteral("single,2,E43,10,100,160,160,160,ok"),
                        QStringLiteral("single,2,E43,20,100,320,320,320,ok"),
                        QStringLiteral("single,3,E43,10,100,160,160,160,ok"),
                        QStringLiteral("single,3,E43,20,100,320,320,320,ok"),
                        QStringLiteral("butt,2,E43,10,100,215,215,125,ok"),
                        QStringLiteral("butt,2,E43,20,100,410,410,240,ok"),
                        QStringLiteral("butt,3,E43,10,100,185,215,125,ok"),
                        QStringLiteral("butt,3,E43,20,100,350,410,240,ok")};
    QTest::newRow("lengths as given, loads in full")
        << QStringList {QStringLiteral("--table"), QStringLiteral("--form=double"),
                        QStringLiteral("--electrode=E50,E55"), QStringLiteral("--hf=7"),
                        QStringLiteral("--lf=33.3")}
        << QStringList {header,
                        QStringLiteral("double,1,E50,7,33.3,93.23999999999998,93.23999999999998,"
                                       "93.23999999999998,ok"),
                        QStringLiteral("double,1,E55,7,33.3,102.56399999999998,102.56399999999998,"
                                       "102.56399999999998,ok")};
    QTest::newRow("failed row")
        << QStringList {QStringLiteral("--table"), QStringLiteral("--unchecked"),
                        QStringLiteral("--hf=10"), QStringLiteral("--lf=1e300,-1")}
        << QStringList {header, QStringLiteral("single,1,E43,10,1e300,,,,error"),
                        QStringLiteral("single,1,E43,10,-1,-1.6,-1.6,-1.6,ok")};
    QTest::newRow("json lines")
        << QStringList {QStringLiteral("--table"),    QStringLiteral("--format=json"),
                        QStringLiteral("--form=lap"), QStringLiteral("--electrode=E55"),
                        QStringLiteral("--hf=16"),    QStringLiteral("--lf=50")}
        << QStringList {QStringLiteral(
               R"({"form":"lap","grade":"1","electrode":"E55","hf":16,"lf":50,"F":560,"N":560,"V":328,"status":"ok"})")};
}

void TestCli::tables()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, lines);
    const Run run = runCalc(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    const bool csv = !arguments.contains(QStringLiteral("--format=json"));
    QCOMPARE(run.out,
             lines.join(csv ? QLatin1String("\r\n") : QLatin1String("\n"))
                 + (csv ? QLatin1String("\r\n") : QLatin1String("\n")));
}

void TestCli::sheetFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start"); // what a file of the format begins with

    QTest::newRow("pdf") << QStringLiteral("sheet.pdf") << QByteArray("%PDF-");
    QTest::newRow("odf") << QStringLiteral("sheet.odt") << QByteArray("PK");
    QTest::newRow("html") << QStringLiteral("sheet.html") << QByteArray("<!DOCTYPE");
    QTest::newRow("text") << QStringLiteral("sheet.txt") << QByteArray("Jointrix");
    QTest::newRow("extension in capitals") << QStringLiteral("SHEET.PDF") << QByteArray("%PDF-");
}

void TestCli::sheetFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    // The sheet needs a GUI application for the PDF's fonts, whatever platform the user's
    // settings name and with no runtime folder given.
    const Run run = runCalc(
        {QStringLiteral("--output"), path, QStringLiteral("--form=butt")},
        environmentWith({QStringLiteral("QT_QPA_PLATFORM=xcb"), QStringLiteral("DISPLAY=:8471"),
                         QStringLiteral("-XDG_RUNTIME_DIR")}));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(bytes.startsWith(start), bytes.left(40).constData());
    if (name.endsWith(QLatin1String(".txt")) || name.endsWith(QLatin1String(".html")))
        QVERIFY(QString::fromUtf8(bytes).contains(QStringLiteral("平焊缝连接计算：")));

    // A file that cannot be written is an error with its reason, and nothing is left behind.
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/") + name);
    const Run failed = runCalc({QStringLiteral("--output"), missing});
    QCOMPARE(failed.exitCode, 3);
    QVERIFY2(failed.err.startsWith(QStringLiteral("jointrix-calc: cannot write '") + missing),
             qPrintable(failed.err));
    QVERIFY(!QFileInfo::exists(missing));
}

void TestCli::tableFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("table.csv"));
    const QStringList arguments = {QStringLiteral("--table"), QStringLiteral("--form=all"),
                                   QStringLiteral("--output"), path};
    const Run run = runCalc(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             runCalc({QStringLiteral("--table"), QStringLiteral("--form=all")}).out.toUtf8());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
