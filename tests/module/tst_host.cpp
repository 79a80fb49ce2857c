// jointrix-host as a user runs it: headless fallback, and the one-line errors for a module that
// cannot be used.

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutDisplayShowsACalculation();
    void unusableModuleGivesOneLineAndStatus2_data();
    void unusableModuleGivesOneLineAndStatus2();

private:
    static QProcessEnvironment withoutDisplay();
};

QProcessEnvironment TestHost::withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

void TestHost::withoutDisplayShowsACalculation()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QProcess host;
    host.setProcessEnvironment(withoutDisplay());
    host.setWorkingDirectory(directory.path());
    host.start(QStringLiteral(JOINTRIX_HOST), {});
    QVERIFY(host.waitForFinished(60000));
    const QString output = QString::fromUtf8(host.readAllStandardOutput());
    QVERIFY2(host.exitStatus() == QProcess::NormalExit && host.exitCode() == 0,
             host.readAllStandardError().constData());

    const QString picture = directory.filePath(QStringLiteral("jointrix.png"));
    QVERIFY(QFile::exists(picture));
    QVERIFY2(output.contains(QStringLiteral("单边角焊缝")), qPrintable(output));
    QVERIFY2(output.contains(picture), qPrintable(output));
    QImage image(picture);
    QCOMPARE(image.size(), QSize(824, 616));
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

    QProcess host;
    host.setProcessEnvironment(withoutDisplay());
    host.start(QStringLiteral(JOINTRIX_HOST), {QStringLiteral("--module"), module});
    QVERIFY(host.waitForFinished(60000));
    QCOMPARE(host.exitStatus(), QProcess::NormalExit);
    QCOMPARE(host.exitCode(), 2);
    QStringList lines;
    for (const QString &line : QString::fromUtf8(host.readAllStandardError()).split(u'\n')) {
        // Qt's own notes about the runtime directory are not the host's.
        if (!line.isEmpty() && line.startsWith(QStringLiteral("jointrix-host:")))
            lines << line;
    }
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains(message), qPrintable(lines.first()));
    QVERIFY(host.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
