#include "controls/LxEdit.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/msgbox/MsgBox.h"
#include "platform/skin/SkinButton.h"
#include "support/MsgBoxRecorder.h"
#include "ui/RichEdit.h"
#include "ui/U_Main.h"

#include "WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString SaveAs = QStringLiteral("另存为…");
const QString Print = QStringLiteral("打印…");
const QString Preview = QStringLiteral("打印预览…");

// The window with the report view's menu at hand.
struct Fixture : WindowFixture
{
    TRxRichEdit *edit() const { return window->RxRichEdit1; }
    std::unique_ptr<QMenu> menu() const
    {
        return std::unique_ptr<QMenu>(edit()->createContextMenu(QPoint(5, 5)));
    }
    // A butt weld of the third grade, 20 mm by 100 mm, calculated; then the thickness field
    // is changed without calculating again, which the sheet must not follow.
    void calculateButtWeld() const
    {
        window->cbb_CalType->setCurrentIndex(2);
        window->cbb_Grade->setCurrentIndex(2);
        window->edt_hf->setText(QStringLiteral("20"));
        window->edt_Lf->setText(QStringLiteral("100"));
        window->BtnOk->click();
        window->edt_hf->setText(QStringLiteral("30"));
    }
};

QStringList texts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QAction *entry(const QMenu &menu, const QString &text)
{
    for (QAction *action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

Q_DECLARE_METATYPE(dialogs::PrintKind)

class TestReportMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entriesFollowTheReport();
    void saveAs_data();
    void saveAs();
    void cancelledSaveWritesNothing();
    void failedSaveIsAMessage();
    void printsThroughQPrinter_data();
    void printsThroughQPrinter();
    void contextMenuEventShowsTheMenu();
    void defaultSaveDialogAddsTheFilterExtension();
    void defaultPreviewDrawsTheSheet();
};

void TestReportMenu::entriesFollowTheReport()
{
    Fixture f;
    QVERIFY(f.active);
    const auto enabled = [&f] {
        const auto menu = f.menu();
        QList<bool> states;
        for (const QString &text : {SaveAs, Print, Preview}) {
            const QAction *action = entry(*menu, text);
            if (!action)
                qWarning("no entry %s in %s", qPrintable(text),
                         qPrintable(texts(*menu).join(QLatin1String(" | "))));
            states << (action && action->isEnabled());
        }
        return states;
    };
    const QList<bool> none = {false, false, false};
    const QList<bool> all = {true, true, true};

    // Qt's own entries first, the sheet's after them.
    const auto menu = f.menu();
    const QStringList shown = texts(*menu);
    const QAction *copy = menu->findChild<QAction *>(QStringLiteral("edit-copy"));
    const QAction *selectAll = menu->findChild<QAction *>(QStringLiteral("select-all"));
    QVERIFY(copy && selectAll);
    QCOMPARE(shown.mid(shown.size() - 4),
             (QStringList {QStringLiteral("-"), SaveAs, Print, Preview}));
    QVERIFY(menu->actions().indexOf(const_cast<QAction *>(selectAll)) < shown.size() - 4);

    QCOMPARE(enabled(), none); // nothing calculated yet
    f.window->BtnOk->click();
    QCOMPARE(enabled(), all);
    // A pick empties the report, and the sheet goes with it.
    f.window->cbb_Style->setCurrentIndex(1);
    f.window->cbb_StyleSelect(f.window->cbb_Style);
    QCOMPARE(enabled(), none);
    f.window->BtnOk->click();
    QCOMPARE(enabled(), all);
    // So does emptying the view by hand; typing into it afterwards brings no sheet back.
    f.edit()->selectAll();
    QTest::keyClick(f.edit(), Qt::Key_Delete);
    QTest::keyClicks(f.edit(), QStringLiteral("notes"));
    QCOMPARE(enabled(), none);
}

void TestReportMenu::saveAs_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("start");

    QTest::newRow("PDF from the filter")
        << 0 << QStringLiteral("sheet") << QStringLiteral("sheet.pdf") << QByteArray("%PDF-");
    QTest::newRow("ODF from the filter")
        << 1 << QStringLiteral("sheet") << QStringLiteral("sheet.odt") << QByteArray("PK");
    QTest::newRow("HTML as typed") << 2 << QStringLiteral("sheet.htm")
                                   << QStringLiteral("sheet.htm") << QByteArray("<!DOCTYPE HTML");
    QTest::newRow("text from the filter")
        << 3 << QStringLiteral("sheet") << QStringLiteral("sheet.txt") << QByteArray("Jointrix\n");
    QTest::newRow("typed extension beats the filter")
        << 0 << QStringLiteral("sheet.txt") << QStringLiteral("sheet.txt")
        << QByteArray("Jointrix\n");
    QTest::newRow("unknown extension gets the filter's")
        << 1 << QStringLiteral("sheet.v2") << QStringLiteral("sheet.v2.odt") << QByteArray("PK");
}

void TestReportMenu::saveAs()
{
    QFETCH(int, filter);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    QTemporaryDir dir;
    Fixture f;
    f.calculateButtWeld();

    QList<dialogs::SaveRequest> requests;
    const dialogs::ScopedSaveHandler answer([&](const dialogs::SaveRequest &request) {
        requests << request;
        return dialogs::SaveAnswer {dir.filePath(typed), request.filters.value(filter)};
    });
    const auto menu = f.menu();
    entry(*menu, SaveAs)->trigger();

    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].filters.size(), 4);
    QCOMPARE(requests[0].owner.data(), f.window.get());
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {written});
    const QByteArray bytes = readAll(dir.filePath(written));
    QVERIFY2(bytes.startsWith(start), bytes.left(40).constData());
    if (start.startsWith("Jointrix")) {
        // The sheet is the calculation's, not what the fields say now.
        const QString text = QString::fromUtf8(bytes);
        QVERIFY(text.contains(QStringLiteral("\n焊缝厚度hf(mm)：20\n")));
        QVERIFY(text.contains(QStringLiteral("\n焊缝等级：三级\n")));
        QVERIFY(text.contains(QStringLiteral("\n设计抗拉荷载：F=175×20×100=350kN；\n")));
    }
    if (start == "PK")
        QVERIFY(bytes.contains("application/vnd.oasis.opendocument.text"));
}

void TestReportMenu::cancelledSaveWritesNothing()
{
    QTemporaryDir dir;
    Fixture f;
    f.window->BtnOk->click();
    int asked = 0;
    const dialogs::ScopedSaveHandler cancel([&](const dialogs::SaveRequest &) {
        ++asked;
        return std::optional<dialogs::SaveAnswer>();
    });
    f.edit()->saveSheetAs();
    QCOMPARE(asked, 1);
    QVERIFY(QDir(dir.path()).isEmpty());
    QVERIFY(f.messages.isEmpty());
}

void TestReportMenu::failedSaveIsAMessage()
{
    QTemporaryDir dir;
    Fixture f;
    f.window->BtnOk->click();
    const QString target = dir.filePath(QStringLiteral("missing/sheet.pdf"));
    const dialogs::ScopedSaveHandler answer([&](const dialogs::SaveRequest &request) {
        return dialogs::SaveAnswer {target, request.filters.value(0)};
    });
    f.edit()->saveSheetAs();
    QCOMPARE(f.messages.requests.size(), 1);
    const msgbox::Request &message = f.messages.requests[0];
    QVERIFY2(message.text.startsWith(QStringLiteral("计算书未能保存到 ") + target
                                     + QStringLiteral("：")),
             qPrintable(message.text));
    QVERIFY(message.text.size() > target.size() + 12); // a reason follows
    QCOMPARE(message.title, QStringLiteral("提示信息"));
    QCOMPARE(message.owner.data(), f.window.get());
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestReportMenu::printsThroughQPrinter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<dialogs::PrintKind>("kind");
    QTest::newRow("print") << Print << dialogs::PrintKind::Print;
    QTest::newRow("preview") << Preview << dialogs::PrintKind::Preview;
}

void TestReportMenu::printsThroughQPrinter()
{
    QFETCH(QString, text);
    QFETCH(dialogs::PrintKind, kind);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    Fixture f;
    f.calculateButtWeld();

    // The dialog's part: the user picks a PDF file as the printer, the pages are drawn on it.
    QList<dialogs::PrintKind> kinds;
    const dialogs::ScopedPrintHandler printer([&](const dialogs::PrintRequest &request) {
        kinds << request.kind;
        request.printer->setOutputFormat(QPrinter::PdfFormat);
        request.printer->setOutputFileName(pdf);
        request.paint(request.printer);
        return true;
    });
    const auto menu = f.menu();
    entry(*menu, text)->trigger();

    QCOMPARE(kinds, QList<dialogs::PrintKind> {kind});
    QVERIFY(f.messages.isEmpty());
    QVERIFY(readAll(pdf).startsWith("%PDF-"));
    const QString printed = pdfText(pdf).remove(QLatin1Char(' '));
    QVERIFY2(printed.contains(QStringLiteral("Jointrix")), qPrintable(printed));
    QVERIFY2(printed.contains(QStringLiteral("焊缝厚度hf(mm)：20")), qPrintable(printed));
    QVERIFY2(printed.contains(QStringLiteral("设计抗剪荷载：V=120×20×100=240kN；")),
             qPrintable(printed));
}

void TestReportMenu::contextMenuEventShowsTheMenu()
{
    QTemporaryDir dir;
    Fixture f;
    QVERIFY(f.active);
    f.window->BtnOk->click();

    QWidget *viewport = f.edit()->viewport();
    const QPoint at(10, 10);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction *save = entry(*menu, SaveAs);
    QVERIFY(save && save->isEnabled());

    const dialogs::ScopedSaveHandler answer([&](const dialogs::SaveRequest &request) {
        return dialogs::SaveAnswer {dir.filePath(QStringLiteral("sheet.html")),
                                    request.filters.value(0)};
    });
    // Picked as a user picks it: the menu closes, then the entry runs.
    QTest::keyClick(menu, Qt::Key_Up);
    QTRY_COMPARE(menu->activeAction(), entry(*menu, Preview));
    QTest::keyClick(menu, Qt::Key_Up);
    QTest::keyClick(menu, Qt::Key_Up);
    QCOMPARE(menu->activeAction(), save);
    const QPointer<QMenu> guard(menu);
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_VERIFY(!guard); // released when it closes
    QVERIFY(readAll(dir.filePath(QStringLiteral("sheet.html"))).startsWith("<!DOCTYPE HTML"));
}

void TestReportMenu::defaultSaveDialogAddsTheFilterExtension()
{
    QTemporaryDir dir;
    dialogs::SaveRequest request;
    request.title = QStringLiteral("另存为");
    request.filters = {QStringLiteral("PDF (*.pdf)"), QStringLiteral("ODF (*.odt)")};
    request.selectedFilter = request.filters[1];
    request.fileName = dir.filePath(QStringLiteral("first"));
    // The user types a bare name and accepts: the dialog itself adds the filter's extension,
    // so that its question about overwriting concerns the file that will be written.
    bool typed = false;
    QTimer::singleShot(0, this, [&typed] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *name
            = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name)
            return;
        name->setText(QStringLiteral("sheet"));
        typed = true;
        QTest::keyClick(name, Qt::Key_Return);
    });
    const std::optional<dialogs::SaveAnswer> answer = dialogs::runSaveDialog(request);
    QVERIFY(typed);
    QVERIFY(answer);
    QCOMPARE(answer->fileName, dir.filePath(QStringLiteral("sheet.odt")));
    QCOMPARE(answer->filter, request.filters[1]);
}

void TestReportMenu::defaultPreviewDrawsTheSheet()
{
    QPrinter printer;
    int painted = 0;
    dialogs::PrintRequest request;
    request.kind = dialogs::PrintKind::Preview;
    request.printer = &printer;
    request.paint = [&painted](QPrinter *target) {
        ++painted;
        QPainter painter(target);
        painter.drawText(QPointF(100, 100), QStringLiteral("Jointrix"));
    };
    QTimer::singleShot(0, this, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    // Closed without printing: a preview that was only looked at.
    QVERIFY(!dialogs::runPrintDialog(request));
    QVERIFY(painted >= 1);
}

QTEST_MAIN(TestReportMenu)
#include "tst_report_menu.moc"
