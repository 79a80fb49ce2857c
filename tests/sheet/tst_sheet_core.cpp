#include "calc/Weld.h"
#include "sheet/Sheet.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

// A command-line program runs on a QCoreApplication: the sheet's text formats must work there,
// and a PDF must be an error, not the end of the process.
class TestSheetCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formats_data();
    void formats();
};

void TestSheetCore::formats_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("written");
    QTest::newRow("text") << QStringLiteral("sheet.txt") << true;
    QTest::newRow("HTML") << QStringLiteral("sheet.html") << true;
    QTest::newRow("ODF") << QStringLiteral("sheet.odt") << true;
    QTest::newRow("PDF") << QStringLiteral("sheet.pdf") << false;
}

void TestSheetCore::formats()
{
    QFETCH(QString, name);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const auto document = sheet::makeDocument(sheet::calculate(
        {weld::Form::SingleFillet, weld::Grade::First, weld::Electrode::E43, 10, 1000}));
    const sheet::WriteResult result = sheet::save(*document, dir.filePath(name));
    QCOMPARE(result.ok(), written);
    QCOMPARE(QFile::exists(dir.filePath(name)), written);
    if (!written)
        QVERIFY(result.error.contains(QLatin1String("QGuiApplication")));
}

QTEST_GUILESS_MAIN(TestSheetCore)
#include "tst_sheet_core.moc"
