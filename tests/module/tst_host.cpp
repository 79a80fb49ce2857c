// jointrix-host as a user runs it: the headless run on whatever platform Qt takes, the sizes it
// accepts, and one line with a reason for everything it cannot do.

#include "../common/Environment.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    bool finished = false; // exited by itself, not killed by a signal or by the test
    int exitCode = -1;
    QString out;
    QStringList hostLines; // the host's own lines on stderr
    QString err;
};

// The environment with no display and no platform named, then `changes` as environmentWith()
// makes them.
QProcessEnvironment headlessWith(const QStringList &changes = {})
{
    return environmentWith(QStringList {QStringLiteral("-DISPLAY"),
                                        QStringLiteral("-WAYLAND_DISPLAY"),
                                        QStringLiteral("-QT_QPA_PLATFORM")}
                           + changes);
}

Run runHost(const QStringList &arguments, const QProcessEnvironment &environment = headlessWith(),
            const QString &workingDirectory = QString())
{
    QProcess host;
    host.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        host.setWorkingDirectory(workingDirectory);
    host.start(QStringLiteral(JOINTRIX_HOST), arguments);
    Run run;
    if (!host.waitForFinished(30000)) {
        host.kill();
        host.waitForFinished();
        return run;
    }
    run.finished = host.exitStatus() == QProcess::NormalExit;
    run.exitCode = host.exitCode();
    run.out = QString::fromUtf8(host.readAllStandardOutput());
    run.err = QString::fromUtf8(host.readAllStandardError());
    for (const QString &line : run.err.split(u'\n')) {
        if (line.startsWith(QStringLiteral("jointrix-host:")))
            run.hostLines << line;
    }
    return run;
}

const QString HelpPointer = QStringLiteral("Try 'jointrix-host --help' for more information.");
const QString Range = QStringLiteral("from 939x507 to 16384x16384");

} // namespace

class TestHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headlessShowsACalculation_data();
    void headlessShowsACalculation();
    void sizes_data();
    void sizes();
    void helpAndVersion_data();
    void helpAndVersion();
    void usageErrors_data();
    void usageErrors();
    void pictureCannotBeSaved_data();
    void pictureCannotBeSaved();
    void unusableModuleGivesOneLineAndStatus2_data();
    void unusableModuleGivesOneLineAndStatus2();
};

void TestHost::headlessShowsACalculation_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("fallback"); // the one line saying so, if the host falls back

    // No X server answers there.
    const QString nowhere = QStringLiteral("DISPLAY=:8471");
    QTest::newRow("no display") << QStringList {} << QString();
    QTest::newRow("offscreen named, a display set")
        << QStringList {nowhere, QStringLiteral("QT_QPA_PLATFORM=offscreen")} << QString();
    QTest::newRow("minimal named, a display set")
        << QStringList {nowhere, QStringLiteral("QT_QPA_PLATFORM=minimal")} << QString();
    QTest::newRow("a display at no server")
        << QStringList {nowhere}
        << QStringLiteral("jointrix-host: cannot use the Qt platform xcb (DISPLAY=:8471); "
                          "running offscreen");
    QTest::newRow("xcb named, no display")
        << QStringList {QStringLiteral("QT_QPA_PLATFORM=xcb")}
        << QStringLiteral("jointrix-host: cannot use the Qt platform xcb; running offscreen");
    QTest::newRow("a platform that does not exist")
        << QStringList {QStringLiteral("QT_QPA_PLATFORM=bogus")}
        << QStringLiteral("jointrix-host: cannot use the Qt platform bogus; running offscreen");
}

void TestHost::headlessShowsACalculation()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, fallback);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const Run run = runHost({}, headlessWith(environment), directory.path());
    QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.err));

    const QString picture = directory.filePath(QStringLiteral("jointrix.png"));
    QVERIFY(QFile::exists(picture));
    // The report, then the picture's line: no blank line between.
    QVERIFY2(run.out.startsWith(QStringLiteral("单边角焊缝连接计算：\n设计抗拉荷载：")),
             qPrintable(run.out));
    QVERIFY2(run.out.endsWith(QStringLiteral("kN；\njointrix-host: picture saved to ") + picture
                              + QLatin1Char('\n')),
             qPrintable(run.out));
    QCOMPARE(QImage(picture).size(), QSize(824, 616));
    // Nothing else on stderr: Qt's notes about the plugins it tried are not the user's business.
    QCOMPARE(run.err, fallback.isEmpty() ? QString() : fallback + QLatin1Char('\n'));
}

void TestHost::sizes_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("default") << QStringLiteral("1023x738") << true;
    QTest::newRow("smallest") << QStringLiteral("939x507") << true;
    QTest::newRow("widest") << QStringLiteral("16384x507") << true;
    QTest::newRow("highest") << QStringLiteral("939x16384") << true;
    QTest::newRow("one narrower than the smallest") << QStringLiteral("938x507") << false;
    QTest::newRow("one lower than the smallest") << QStringLiteral("939x506") << false;
    QTest::newRow("the diagram covers the inputs") << QStringLiteral("600x400") << false;
    QTest::newRow("no room for the tool") << QStringLiteral("199x122") << false;
    QTest::newRow("tiny") << QStringLiteral("10x10") << false;
    QTest::newRow("zero") << QStringLiteral("0x0") << false;
    QTest::newRow("one wider than the largest") << QStringLiteral("16385x738") << false;
    QTest::newRow("one higher than the largest") << QStringLiteral("1023x16385") << false;
    QTest::newRow("too large to paint") << QStringLiteral("100000x100000") << false;
    QTest::newRow("past 32 bits") << QStringLiteral("99999999999x600") << false;
    QTest::newRow("negative") << QStringLiteral("-1023x738") << false;
    QTest::newRow("no height") << QStringLiteral("1023x") << false;
    QTest::newRow("one number") << QStringLiteral("1023") << false;
    QTest::newRow("three numbers") << QStringLiteral("1023x738x1") << false;
    QTest::newRow("blank before") << QStringLiteral(" 1023x738") << false;
    QTest::newRow("exponent") << QStringLiteral("1e3x738") << false;
}

void TestHost::sizes()
{
    QFETCH(QString, size);
    QFETCH(bool, accepted);
    const Run run = runHost({QStringLiteral("--size"), size, QStringLiteral("--quit-after-show")});
    QVERIFY2(run.finished, qPrintable(run.err));
    if (accepted) {
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.hostLines.isEmpty(), qPrintable(run.err));
        return;
    }
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.hostLines.size(), 1);
    QVERIFY2(run.hostLines[0].contains(QStringLiteral("'%1' for option '--size'").arg(size)),
             qPrintable(run.hostLines[0]));
    QVERIFY2(run.hostLines[0].contains(Range), qPrintable(run.hostLines[0]));
    QVERIFY(run.err.endsWith(HelpPointer + QLatin1Char('\n')));
}

void TestHost::helpAndVersion_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("start");

    const QString usage = QStringLiteral("Usage: jointrix-host [options]\n");
    const QString version = QStringLiteral("jointrix-host " JOINTRIX_VERSION "\n");
    QTest::newRow("--help") << QStringLiteral("--help") << usage;
    QTest::newRow("-h") << QStringLiteral("-h") << usage;
    QTest::newRow("--version") << QStringLiteral("--version") << version;
    QTest::newRow("-v") << QStringLiteral("-v") << version;
}

void TestHost::helpAndVersion()
{
    QFETCH(QString, argument);
    QFETCH(QString, start);
    // Under a display that does not answer, too: help needs no window.
    const Run run = runHost({argument}, headlessWith({QStringLiteral("DISPLAY=:8471")}));
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(start), qPrintable(run.out));
    QCOMPARE(run.err, QString());
    // The help names the sizes it takes, however it wraps the line.
    if (argument.contains(QLatin1Char('h')))
        QVERIFY2(run.out.simplified().contains(Range), qPrintable(run.out));

    // A text that cannot be written is lost, and the status says so.
    QProcess host;
    host.setProcessEnvironment(headlessWith());
    host.setStandardOutputFile(QStringLiteral("/dev/full"));
    host.start(QStringLiteral(JOINTRIX_HOST), {argument});
    QVERIFY(host.waitForFinished(30000));
    QCOMPARE(host.exitCode(), 1);
    QVERIFY(QString::fromUtf8(host.readAllStandardError())
                .startsWith(QStringLiteral("jointrix-host: cannot write")));
}

void TestHost::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("named"); // what the complaint's line must name

    QTest::newRow("unknown option")
        << QStringList {QStringLiteral("--bogus")} << QStringList {QStringLiteral("'--bogus'")};
    QTest::newRow("missing value")
        << QStringList {QStringLiteral("--size")} << QStringList {QStringLiteral("'--size'")};
    QTest::newRow("value for a flag") << QStringList {QStringLiteral("--calculate=yes")}
                                      << QStringList {QStringLiteral("'--calculate'")};
    QTest::newRow("stray argument")
        << QStringList {QStringLiteral("800x600")} << QStringList {QStringLiteral("'800x600'")};
    QTest::newRow("picture without a format")
        << QStringList {QStringLiteral("--screenshot"), QStringLiteral("noext")}
        << QStringList {QStringLiteral("'noext' for option '--screenshot'"),
                        QStringLiteral("unknown picture format"), QStringLiteral("png")};
    QTest::newRow("picture without a name") << QStringList {QStringLiteral("--screenshot=")}
                                            << QStringList {QStringLiteral("'--screenshot'")};
    QTest::newRow("picture format Qt only reads")
        << QStringList {QStringLiteral("--screenshot=window.gif")}
        << QStringList {QStringLiteral("'window.gif' for option '--screenshot'"),
                        QStringLiteral("unknown picture format"), QStringLiteral("jpg")};
}

void TestHost::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, named);
    const Run run = runHost(arguments);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.hostLines.size(), 1);
    for (const QString &part : named)
        QVERIFY2(run.hostLines[0].contains(part), qPrintable(run.hostLines[0]));
    QVERIFY(run.err.endsWith(HelpPointer + QLatin1Char('\n')));
}

void TestHost::pictureCannotBeSaved_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");

    QTest::newRow("folder missing") << QStringLiteral("/nonexistent/x.png")
                                    << QStringLiteral("the folder /nonexistent does not exist");
    // Not even root makes files there.
    QTest::newRow("folder not writable")
        << QStringLiteral("/proc/x.png") << QStringLiteral("the folder /proc cannot be written");
}

void TestHost::pictureCannotBeSaved()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    const Run run = runHost({QStringLiteral("--screenshot"), file});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.hostLines.size(), 1);
    QVERIFY2(
        run.hostLines[0].startsWith(
            QStringLiteral("jointrix-host: cannot save the picture to %1: %2").arg(file, reason)),
        qPrintable(run.hostLines[0]));
}

void TestHost::unusableModuleGivesOneLineAndStatus2_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing") << QStringLiteral("/nonexistent/libjointrix.so")
                             << QStringLiteral("cannot load the module");
    QTest::newRow("lacks the exports")
        << QStringLiteral(JOINTRIX_SHAREMEM_PATH) << QStringLiteral("lacks the export LxToolShow");
}

void TestHost::unusableModuleGivesOneLineAndStatus2()
{
    QFETCH(QString, module);
    QFETCH(QString, message);
    const Run run = runHost({QStringLiteral("--module"), module});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.hostLines.size(), 1);
    QVERIFY2(run.hostLines.first().contains(message), qPrintable(run.hostLines.first()));
    QVERIFY(run.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
