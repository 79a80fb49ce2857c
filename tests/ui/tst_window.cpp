#include "../common/LocaleText.h"
#include "controls/LxEdit.h"
#include "platform/jpeg/Jpeg.h"
#include "platform/msgbox/MsgBox.h"
#include "platform/numtext/NumText.h"
#include "platform/panel/Panel.h"
#include "platform/resource/Resource.h"
#include "platform/skin/SkinButton.h"
#include "platform/skin/SkinData.h"
#include "platform/skin/SkinForm.h"
#include "platform/skin/SkinMessage.h"
#include "support/MsgBoxRecorder.h"
#include "support/ResourceOverrides.h"
#include "ui/RichEdit.h"
#include "ui/U_Main.h"

#include "WindowFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <memory>

namespace {

// The skin file the window looks for: beside this test's program, as beside a host's.
QString skinFile()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/skin/skin.ini");
}

void writeSkin(const QByteArray &contents)
{
    QDir().mkpath(QCoreApplication::applicationDirPath() + QStringLiteral("/skin"));
    QFile file(skinFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

void removeSkin()
{
    QFile::remove(skinFile());
}

QImage decodedDiagram(int index)
{
    const auto bytes = resource::rawData(QStringLiteral("JPG%1").arg(index + 1));
    return bytes ? jpeg::decode(*bytes).image : QImage();
}

QImage shownPicture(const Tfrm_Jointrix &window)
{
    return window.Image->pixmap().toImage().convertToFormat(QImage::Format_RGB888);
}

QStringList reportLines(const Tfrm_Jointrix &window)
{
    QStringList lines;
    const QTextDocument *document = window.RxRichEdit1->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines << block.text();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

using Fixture = WindowFixture;

// Picks item `index` of `list` as a user does, with the keyboard.
void pick(QComboBox *list, int index)
{
    list->setFocus(Qt::OtherFocusReason);
    while (list->currentIndex() < index)
        QTest::keyClick(list, Qt::Key_Down);
    while (list->currentIndex() > index)
        QTest::keyClick(list, Qt::Key_Up);
}

// What a window of its present size fails to show: a control that leaves its parent's contents
// or overlaps a sibling, or a report view that does not show all four lines of its report (the
// view scrolls to the caret, which the report leaves on the empty line after the last one).
QStringList unshown(Tfrm_Jointrix &window)
{
    QStringList problems;
    const QList<QWidget *> controls = window.findChildren<QWidget *>();
    const auto shows = [](const QWidget *control) {
        return control->isVisible() && !control->inherits("TbsComponent");
    };
    for (const QWidget *control : controls) {
        if (!shows(control) || !shows(control->parentWidget()))
            continue;
        if (!control->parentWidget()->contentsRect().contains(control->geometry()))
            problems << control->objectName() + QStringLiteral(" leaves its parent");
        for (const QWidget *other : controls) {
            if (other != control && other->parentWidget() == control->parentWidget() && shows(other)
                && control->objectName() < other->objectName()
                && other->geometry().intersects(control->geometry()))
                problems << control->objectName() + QStringLiteral(" overlaps ")
                        + other->objectName();
        }
    }
    const QTextDocument *report = window.RxRichEdit1->document();
    const QTextBlock lastLine = report->findBlockByNumber(3);
    if (!lastLine.isValid() || window.RxRichEdit1->verticalScrollBar()->value() != 0
        || report->documentLayout()->blockBoundingRect(lastLine).bottom()
            > window.RxRichEdit1->viewport()->height())
        problems << QStringLiteral("the report does not show");
    return problems;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void builtFromDescription();
    void facesResolve();
    void geometry_data();
    void geometry();
    void smallestSizeShowsEveryControl_data();
    void smallestSizeShowsEveryControl();
    void stateAfterShow();
    void tabOrder_data();
    void tabOrder();
    void picks_data();
    void picks();
    void programmaticChangeFiresNothing();
    void calculation_data();
    void calculation();
    void twoPressesLeaveOneReport();
    void emptiedLengthGivesMinusOne();
    void keys_data();
    void keys();
    void pressChecksTheFocusedField_data();
    void pressChecksTheFocusedField();
    void skin_data();
    void skin();
    void corruptDiagram_data();
    void corruptDiagram();
    void shownAgainKeepsInputs();
    void closeReleasesAfterEventLoop();
    void brokenDescription_data();
    void brokenDescription();
};

void TestWindow::init()
{
    removeSkin();
    resource::clearRawDataOverrides();
}

void TestWindow::cleanup()
{
    removeSkin();
    resource::clearRawDataOverrides();
}

void TestWindow::builtFromDescription()
{
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    QCOMPARE(w.objectName(), QStringLiteral("frm_Jointrix"));
    QCOMPARE(w.windowTitle(), QStringLiteral("焊缝连接计算"));
    QCOMPARE(w.font().family(), QStringLiteral("宋体"));
    QCOMPARE(w.font().pointSize(), 9);
    QCOMPARE(w.windowIcon().availableSizes().value(0), QSize(32, 32));
    QCOMPARE(w.GroupBox2->title(), QStringLiteral("已知参数"));
    QCOMPARE(w.GroupBox2->property("Color").value<QColor>(), QColor(226, 226, 226));

    const QList<QPair<QLabel *, QString>> labels = {{w.Label9, QStringLiteral("焊缝连接形式：")},
                                                    {w.Label1, QStringLiteral("焊缝等级：")},
                                                    {w.Label2, QStringLiteral("焊条型号：")},
                                                    {w.Label7, QStringLiteral("焊缝厚度hf(mm)：")},
                                                    {w.Label8, QStringLiteral("焊缝长度Lf(mm)：")}};
    for (const auto &[label, text] : labels) {
        QCOMPARE(label->text(), text);
        QVERIFY(!label->autoFillBackground());
        QCOMPARE(label->font(), w.font());
    }

    const QList<QPair<QComboBox *, QStringList>> lists = {
        {w.cbb_CalType,
         {QStringLiteral("单边角焊缝"), QStringLiteral("双边角焊缝"), QStringLiteral("平焊缝连接"),
          QStringLiteral("搭接焊缝连接")}},
        {w.cbb_Grade, {QStringLiteral("一级"), QStringLiteral("二级"), QStringLiteral("三级")}},
        {w.cbb_Style, {QStringLiteral("E43型"), QStringLiteral("E50型"), QStringLiteral("E55型")}}};
    for (const auto &[list, items] : lists) {
        QVERIFY(!list->isEditable());
        QStringList actual;
        for (int i = 0; i < list->count(); ++i)
            actual << list->itemText(i);
        QCOMPARE(actual, items);
        QCOMPARE(list->currentIndex(), 0);
    }

    for (TLxEdit *edit : {w.edt_hf, w.edt_Lf}) {
        QCOMPARE(edit->EditType(), TLxEdit::EditInt);
        QCOMPARE(edit->MinValue(), 1.0);
        QVERIFY(edit->IncludeLowerLimitValue());
        QVERIFY(edit->IncludeUpperLimitValue());
        QCOMPARE(edit->Mydec(), 2);
        QVERIFY(!edit->FormatNumPoint());
        QVERIFY(edit->IsCheckDataValidatiy());
        QCOMPARE(edit->Skindate(), w.bsSkinData1);
        QCOMPARE(edit->Version(), QStringLiteral("20070412"));
    }
    QCOMPARE(w.edt_hf->MaxValue(), 100.0);
    QCOMPARE(w.edt_Lf->MaxValue(), 10000.0);

    QCOMPARE(w.Panel1->bevelOuter(), TPanel::bvRaised);
    QCOMPARE(w.Panel1->bevelInner(), TPanel::bvLowered);
    QCOMPARE(w.Panel1->frameWidth(), 3);
    QVERIFY(w.Image->hasScaledContents());

    QCOMPARE(w.RxRichEdit1->font().family(), QStringLiteral("宋体"));
    QCOMPARE(w.RxRichEdit1->font().pointSize(), 12);
    QCOMPARE(w.RxRichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(w.RxRichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(w.RxRichEdit1->lineWrapMode(), QTextEdit::WidgetWidth);
    QVERIFY(!w.RxRichEdit1->isReadOnly());

    QCOMPARE(w.BtnOk->text(), QStringLiteral(" 计 算"));
    QVERIFY(w.BtnOk->isDefault());
    QVERIFY(w.BtnOk->isCancel());
    QCOMPARE(w.BtnOk->normalImage().size(), QSize(18, 18));
    QCOMPARE(w.BtnOk->spacing(), 1);
    QCOMPARE(w.BitBtn2->text(), QStringLiteral(" 退 出"));
    QVERIFY(w.BitBtn2->isHidden());
    QVERIFY(w.BitBtn2->isCancel());
    // The glyph's olive background is see-through.
    QCOMPARE(w.BtnOk->normalImage().toImage().pixelColor(0, 17).alpha(), 0);

    const QList<QWidget *> components = {w.bsSkinData1, w.bsSkinMessage1, w.bsBusinessSkinForm1};
    for (QWidget *component : components)
        QVERIFY(!component->isVisible());
}

void TestWindow::facesResolve()
{
    // The design's faces stand for a Song-style CJK face and a Times-metric serif.
    Fixture f;
    QVERIFY2(QFontInfo(f.window->font()).family().contains(QLatin1String("UMing")),
             qPrintable(QFontInfo(f.window->font()).family()));
    QVERIFY2(QFontInfo(f.window->RxRichEdit1->font()).family().contains(QLatin1String("UMing")),
             qPrintable(QFontInfo(f.window->RxRichEdit1->font()).family()));
    const QFont report(QStringLiteral("Times New Roman"), 12);
    QCOMPARE(QFontInfo(report).family(), QStringLiteral("Liberation Serif"));
}

void TestWindow::geometry_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected");

    struct Row
    {
        const char *name;
        QRect design;
        int dx; // how the left and width follow a narrower window: 0 none, 1 left, 2 width
        int dy;
    };
    const Row rows[] = {
        {"GroupBox2", {20, 9, 557, 210}, 2, 0},    {"Label9", {46, 27, 94, 13}, 0, 0},
        {"cbb_CalType", {298, 21, 172, 20}, 0, 0}, {"Label1", {46, 65, 94, 13}, 0, 0},
        {"cbb_Grade", {298, 60, 172, 20}, 0, 0},   {"Label2", {46, 104, 94, 13}, 0, 0},
        {"cbb_Style", {298, 99, 172, 20}, 0, 0},   {"Label7", {46, 143, 118, 13}, 0, 0},
        {"edt_hf", {298, 138, 172, 20}, 0, 0},     {"Label8", {46, 181, 121, 13}, 0, 0},
        {"edt_Lf", {298, 177, 172, 20}, 0, 0},     {"Panel1", {597, 13, 206, 206}, 1, 0},
        {"Image", {3, 3, 200, 200}, 0, 0},         {"RxRichEdit1", {20, 229, 783, 332}, 2, 2},
        {"BtnOk", {716, 578, 79, 25}, 1, 1},       {"BitBtn2", {593, 568, 79, 25}, 0, 0},
    };
    for (const QSize size : {QSize(824, 616), QSize(624, 416), QSize(1024, 700)}) {
        const int d = 824 - size.width();
        const int e = 616 - size.height();
        for (const Row &row : rows) {
            QRect r = row.design;
            if (row.dx == 1)
                r.moveLeft(r.left() - d);
            if (row.dx == 2)
                r.setWidth(r.width() - d);
            if (row.dy == 1)
                r.moveTop(r.top() - e);
            if (row.dy == 2)
                r.setHeight(r.height() - e);
            QTest::addRow("%dx%d %s", size.width(), size.height(), row.name)
                << size << QString::fromLatin1(row.name) << r;
        }
    }
}

void TestWindow::geometry()
{
    QFETCH(QSize, size);
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    Fixture f;
    f.window->resize(size);
    QCOMPARE(f.window->size(), size);
    auto *control = f.window->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), expected);
}

void TestWindow::smallestSizeShowsEveryControl_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("showsAll");

    // The group box stretches with the width, its lists and fields stay; the report view
    // stretches with the height. jointrix-host accepts sizes from this one up (plus the 199 x
    // 122 a size control has around the tool).
    const QSize smallest(740, 385);
    QTest::newRow("designed") << QSize(824, 616) << true;
    QTest::newRow("smallest") << smallest << true;
    QTest::newRow("one narrower") << smallest - QSize(1, 0) << false;
    QTest::newRow("one lower") << smallest - QSize(0, 1) << false;
    // A host's 600 x 400: the diagram covers the inputs.
    QTest::newRow("tool of a 600x400 host") << QSize(401, 278) << false;
}

void TestWindow::smallestSizeShowsEveryControl()
{
    QFETCH(QSize, size);
    QFETCH(bool, showsAll);
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    w.resize(size);
    // The widest report: the longest heading and the largest numbers.
    pick(w.cbb_CalType, 3);
    pick(w.cbb_Style, 2);
    w.edt_hf->setText(QStringLiteral("100"));
    w.edt_Lf->setText(QStringLiteral("10000"));
    w.BtnOk->setFocus(Qt::OtherFocusReason);
    w.BtnOk->click();
    QCOMPARE(reportLines(w).value(1), QStringLiteral("设计抗拉荷载：F=2×295×100×10000=590000kN；"));
    const QStringList problems = unshown(w);
    QVERIFY2(problems.isEmpty() == showsAll, qPrintable(problems.join(QLatin1String("; "))));
}

void TestWindow::stateAfterShow()
{
    Fixture f;
    const Tfrm_Jointrix &w = *f.window;
    QCOMPARE(w.edt_hf->text(), QStringLiteral("10"));
    QCOMPARE(w.edt_Lf->text(), QStringLiteral("1000"));
    QCOMPARE(w.cbb_CalType->currentText(), QStringLiteral("单边角焊缝"));
    QCOMPARE(shownPicture(w), decodedDiagram(0));
    QVERIFY(!w.Label1->isEnabled());
    QVERIFY(!w.cbb_Grade->isEnabled());
    QVERIFY(w.RxRichEdit1->document()->isEmpty());
    QVERIFY(w.HostDir.endsWith(QLatin1Char('/')));
    QCOMPARE(w.HostDir, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    QVERIFY(f.messages.isEmpty());
}

void TestWindow::tabOrder_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("grade disabled is skipped")
        << 0 << QStringList {QStringLiteral("cbb_CalType"), QStringLiteral("cbb_Style"),
                             QStringLiteral("edt_hf"),      QStringLiteral("edt_Lf"),
                             QStringLiteral("RxRichEdit1"), QStringLiteral("BtnOk"),
                             QStringLiteral("cbb_CalType")};
    QTest::newRow("butt weld takes the grade")
        << 2 << QStringList {QStringLiteral("cbb_CalType"), QStringLiteral("cbb_Grade"),
                             QStringLiteral("cbb_Style"),   QStringLiteral("edt_hf"),
                             QStringLiteral("edt_Lf"),      QStringLiteral("RxRichEdit1"),
                             QStringLiteral("BtnOk"),       QStringLiteral("cbb_CalType")};
}

void TestWindow::tabOrder()
{
    QFETCH(int, form);
    QFETCH(QStringList, order);
    Fixture f;
    QVERIFY(f.active);
    pick(f.window->cbb_CalType, form);
    QStringList visited {QApplication::focusWidget()->objectName()};
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, order);
    QVERIFY(f.messages.isEmpty());
}

void TestWindow::picks_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("graded");

    for (int form = 0; form < 4; ++form) {
        const bool graded = form >= 2;
        QTest::addRow("form %d", form) << QStringLiteral("cbb_CalType") << form << graded;
        QTest::addRow("electrode, form %d", form) << QStringLiteral("cbb_Style") << form << graded;
        if (graded)
            QTest::addRow("grade, form %d", form) << QStringLiteral("cbb_Grade") << form << graded;
    }
}

void TestWindow::picks()
{
    QFETCH(QString, list);
    QFETCH(int, form);
    QFETCH(bool, graded);
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    // The grade chosen while it applies stays displayed when it no longer does.
    pick(w.cbb_CalType, 2);
    pick(w.cbb_Grade, 1);
    const bool pickingTheForm = list == QLatin1String("cbb_CalType");
    pick(w.cbb_CalType, pickingTheForm ? (form + 1) % 4 : form);
    w.BtnOk->click();
    QVERIFY(!reportLines(w).isEmpty());

    auto *picked = w.findChild<QComboBox *>(list);
    pick(picked, pickingTheForm ? form : (picked->currentIndex() == 0 ? 2 : 0));
    QCOMPARE(w.cbb_CalType->currentIndex(), form);
    QVERIFY(w.RxRichEdit1->document()->isEmpty());
    QCOMPARE(shownPicture(w), decodedDiagram(form));
    QCOMPARE(w.Label1->isEnabled(), graded);
    QCOMPARE(w.cbb_Grade->isEnabled(), graded);
    if (list != QLatin1String("cbb_Grade"))
        QCOMPARE(w.cbb_Grade->currentText(), QStringLiteral("二级"));
}

void TestWindow::programmaticChangeFiresNothing()
{
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    w.BtnOk->click();
    w.cbb_CalType->setCurrentIndex(2);
    w.cbb_Style->setCurrentIndex(1);
    QCOMPARE(reportLines(w).size(), 4);
    QCOMPARE(shownPicture(w), decodedDiagram(0));
    // Editing the fields does not empty the report either.
    w.edt_hf->setText(QStringLiteral("12"));
    QCOMPARE(reportLines(w).size(), 4);
}

void TestWindow::calculation_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<int>("grade");
    QTest::addColumn<int>("electrode");
    QTest::addColumn<QString>("hf");
    QTest::addColumn<QString>("lf");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("single fillet")
        << 0 << 0 << 0 << QStringLiteral("10") << QStringLiteral("1000")
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；")};
    QTest::newRow("double fillet")
        << 1 << 0 << 1 << QStringLiteral("8") << QStringLiteral("200")
        << QStringList {QStringLiteral("双边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=2×200×8×200=640kN；"),
                        QStringLiteral("设计抗压荷载：N=2×200×8×200=640kN；"),
                        QStringLiteral("设计抗剪荷载：V=2×200×8×200=640kN；")};
    QTest::newRow("butt") << 2 << 2 << 0 << QStringLiteral("20") << QStringLiteral("100")
                          << QStringList {QStringLiteral("平焊缝连接计算："),
                                          QStringLiteral("设计抗拉荷载：F=175×20×100=350kN；"),
                                          QStringLiteral("设计抗压荷载：N=205×20×100=410kN；"),
                                          QStringLiteral("设计抗剪荷载：V=120×20×100=240kN；")};
    QTest::newRow("lap") << 3 << 0 << 2 << QStringLiteral("16") << QStringLiteral("50")
                         << QStringList {QStringLiteral("搭接焊缝连接计算："),
                                         QStringLiteral("设计抗拉荷载：F=2×350×16×50=560kN；"),
                                         QStringLiteral("设计抗压荷载：N=2×350×16×50=560kN；"),
                                         QStringLiteral("设计抗剪荷载：V=2×205×16×50=328kN；")};
    // A disabled grade is still passed on; the fillet forms do not read it.
    QTest::newRow("fillet with third grade")
        << 0 << 2 << 0 << QStringLiteral("10") << QStringLiteral("1000")
        << QStringList {QStringLiteral("单边角焊缝连接计算："),
                        QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
                        QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；")};
}

void TestWindow::calculation()
{
    QFETCH(int, form);
    QFETCH(int, grade);
    QFETCH(int, electrode);
    QFETCH(QString, hf);
    QFETCH(QString, lf);
    QFETCH(QStringList, lines);
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    pick(w.cbb_CalType, 2);
    pick(w.cbb_Grade, grade);
    pick(w.cbb_CalType, form);
    pick(w.cbb_Style, electrode);
    w.edt_hf->setText(hf);
    w.edt_Lf->setText(lf);
    QTest::mouseClick(w.BtnOk, Qt::LeftButton);
    QCOMPARE(reportLines(w), lines);
    // The report is written in the report's own face, not the view's.
    QTextCursor cursor(w.RxRichEdit1->document());
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().fontFamilies().toStringList().value(0),
             QStringLiteral("Times New Roman"));
    QCOMPARE(cursor.charFormat().fontPointSize(), 12.0);
}

void TestWindow::twoPressesLeaveOneReport()
{
    Fixture f;
    f.window->BtnOk->click();
    f.window->BtnOk->click();
    QCOMPARE(reportLines(*f.window).size(), 4);
    QCOMPARE(f.window->RxRichEdit1->document()->blockCount(), 5);
}

void TestWindow::emptiedLengthGivesMinusOne()
{
    Fixture f;
    f.window->edt_Lf->clear();
    f.window->BtnOk->click();
    QCOMPARE(reportLines(*f.window).value(1),
             localized(QStringLiteral("设计抗拉荷载：F=160×10×1=1.6kN；")));
}

void TestWindow::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("calculates");

    QTest::newRow("Enter in a field")
        << QStringLiteral("edt_hf") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
    QTest::newRow("keypad Enter in a list")
        << QStringLiteral("cbb_Style") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
    QTest::newRow("Enter on the button")
        << QStringLiteral("BtnOk") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
    QTest::newRow("Enter in the report types a line")
        << QStringLiteral("RxRichEdit1") << int(Qt::Key_Return) << int(Qt::NoModifier) << false;
    QTest::newRow("Esc in a field")
        << QStringLiteral("edt_Lf") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true;
    QTest::newRow("Esc in the report")
        << QStringLiteral("RxRichEdit1") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true;
    QTest::newRow("Shift+Esc") << QStringLiteral("edt_Lf") << int(Qt::Key_Escape)
                               << int(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Esc") << QStringLiteral("edt_Lf") << int(Qt::Key_Escape)
                              << int(Qt::ControlModifier) << false;
}

void TestWindow::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, calculates);
    Fixture f;
    auto *target = f.window->findChild<QWidget *>(focus);
    target->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    const QStringList lines = reportLines(*f.window);
    QCOMPARE(lines.value(0) == QStringLiteral("单边角焊缝连接计算："), calculates);
}

// How Calculate is pressed while a field has the focus.
enum class Press : quint8 { Enter, KeypadEnter, Esc, MouseClick, ProgramClick };
Q_DECLARE_METATYPE(Press)

void TestWindow::pressChecksTheFocusedField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Press>("press");
    QTest::addColumn<QString>("tensileLine"); // empty: the check fails, nothing is calculated

    QTest::newRow("hf over its range, Enter")
        << QStringLiteral("edt_hf") << QStringLiteral("500") << Press::Enter << QString();
    QTest::newRow("hf emptied, Esc")
        << QStringLiteral("edt_hf") << QString() << Press::Esc << QString();
    QTest::newRow("Lf zero, keypad Enter")
        << QStringLiteral("edt_Lf") << QStringLiteral("0") << Press::KeypadEnter << QString();
    QTest::newRow("Lf over its range, mouse click")
        << QStringLiteral("edt_Lf") << QStringLiteral("10001") << Press::MouseClick << QString();
    QTest::newRow("hf over its range, the program's click")
        << QStringLiteral("edt_hf") << QStringLiteral("101") << Press::ProgramClick << QString();
    QTest::newRow("hf at its top, Enter")
        << QStringLiteral("edt_hf") << QStringLiteral("100") << Press::Enter
        << QStringLiteral("设计抗拉荷载：F=160×100×1000=16000kN；");
    QTest::newRow("Lf at its bottom, Esc")
        << QStringLiteral("edt_Lf") << QStringLiteral("1") << Press::Esc
        << QStringLiteral("设计抗拉荷载：F=160×10×1=1.6kN；")
               .replace(QLatin1Char('.'), numtext::decimalSeparator());
    QTest::newRow("hf at its bottom, mouse click")
        << QStringLiteral("edt_hf") << QStringLiteral("1") << Press::MouseClick
        << QStringLiteral("设计抗拉荷载：F=160×1×1000=160kN；");
}

void TestWindow::pressChecksTheFocusedField()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(Press, press);
    QFETCH(QString, tensileLine);
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    // A report of the previous values is on show.
    w.BtnOk->click();
    QCOMPARE(reportLines(w).size(), 4);

    auto *edit = w.findChild<TLxEdit *>(field);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
    switch (press) {
    case Press::Enter:
        QTest::keyClick(edit, Qt::Key_Return);
        break;
    case Press::KeypadEnter:
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case Press::Esc:
        QTest::keyClick(edit, Qt::Key_Escape);
        break;
    case Press::MouseClick:
        QTest::mouseClick(w.BtnOk, Qt::LeftButton);
        break;
    case Press::ProgramClick:
        w.BtnOk->click();
        break;
    }

    if (tensileLine.isEmpty()) {
        QCOMPARE(f.messages.requests.size(), 1);
        QVERIFY2(f.messages.requests.first().text.contains(
                     edit->MaxValue() == 100 ? QStringLiteral("100") : QStringLiteral("10000")),
                 qPrintable(f.messages.requests.first().text));
        QVERIFY(w.RxRichEdit1->document()->isEmpty());
        QCOMPARE(QApplication::focusWidget(), edit);
        QVERIFY(edit->hasSelectedText());
        QCOMPARE(edit->selectedText(), edit->text());
    } else {
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(reportLines(w).size(), 4);
        QCOMPARE(reportLines(w).value(1), tensileLine);
    }
}

void TestWindow::skin_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("skinned");

    QFile sample(QStringLiteral(JOINTRIX_SAMPLE_SKIN));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QTest::newRow("sample") << sample.readAll() << true << true;
    QTest::newRow("absent") << QByteArray() << false << false;
    QTest::newRow("malformed") << QByteArray("[Skin\nVersion=1\n\x01\x02") << true << false;
    QTest::newRow("empty") << QByteArray() << true << false;
}

void TestWindow::skin()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, present);
    QFETCH(bool, skinned);
    if (present)
        writeSkin(contents);
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    QCOMPARE(w.bsSkinData1->isLoaded(), skinned);
    QCOMPARE(w.bsBusinessSkinForm1->isSkinned(), skinned);
    QCOMPARE(w.BtnOk->skinData(), w.bsSkinData1);
    QVERIFY(f.messages.isEmpty());

    // The frame and the button visibly follow the skin.
    const QImage shot = w.grab().toImage();
    const QColor corner = shot.pixelColor(0, 0);
    const QColor button = shot.pixelColor(w.BtnOk->geometry().topLeft() + QPoint(3, 3));
    if (skinned) {
        const TbsSkin *s = w.bsSkinData1->skin();
        QCOMPARE(corner, s->frame.border);
        QCOMPARE(button, s->button.face);
    } else {
        QVERIFY(corner != QColor(0x27, 0x49, 0x6b));
    }
}

void TestWindow::corruptDiagram_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray good = *resource::rawData(u"JPG3");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("header only") << good.left(200);
    QByteArray corrupt = good;
    for (qsizetype i = 400; i < corrupt.size() - 2; i += 7)
        corrupt[i] = char(0xFF);
    QTest::newRow("corrupt") << corrupt;
    QTest::newRow("not a picture") << QByteArray("GIF89a not really");
}

void TestWindow::corruptDiagram()
{
    QFETCH(QByteArray, bytes);
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    w.BtnOk->click();
    resource::setRawDataOverride(QStringLiteral("JPG3"), bytes);
    pick(w.cbb_CalType, 2);
    QVERIFY(w.Image->pixmap().isNull());
    QVERIFY(w.RxRichEdit1->document()->isEmpty());
    QVERIFY(w.cbb_Grade->isEnabled());
    QVERIFY(w.Label1->isEnabled());
    // The next good diagram shows again.
    pick(w.cbb_CalType, 3);
    QCOMPARE(shownPicture(w), decodedDiagram(3));
}

void TestWindow::shownAgainKeepsInputs()
{
    Fixture f;
    Tfrm_Jointrix &w = *f.window;
    w.edt_hf->setText(QStringLiteral("25"));
    w.BtnOk->click();
    w.hide();
    w.show();
    QCOMPARE(w.edt_hf->text(), QStringLiteral("25"));
    QCOMPARE(reportLines(w).size(), 4);
}

void TestWindow::closeReleasesAfterEventLoop()
{
    auto *window = new Tfrm_Jointrix;
    window->show();
    QPointer<Tfrm_Jointrix> guard(window);
    QMetaObject::invokeMethod(window, "BitBtn2Click", Q_ARG(QObject *, window->BitBtn2));
    // Still there, still shown, until the posted release is processed.
    QVERIFY(guard);
    QVERIFY(window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
}

void TestWindow::brokenDescription_data()
{
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QString>("named");

    const QByteArray good = *resource::rawData(u"TFRM_JOINTRIX");
    QTest::newRow("not XML") << QByteArray("<ui version=") << QStringLiteral("cannot be built");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("cannot be built");
    QByteArray missing = good;
    missing.replace(R"(name="edt_Lf")", R"(name="edt_Other")");
    QTest::newRow("a control missing") << missing << QStringLiteral("edt_Lf (TLxEdit)");
    QByteArray wrongClass = good;
    wrongClass.replace(R"(class="TLxEdit" name="edt_hf")", R"(class="QLineEdit" name="edt_hf")");
    QTest::newRow("a control of another class") << wrongClass << QStringLiteral("edt_hf (TLxEdit)");
}

void TestWindow::brokenDescription()
{
    QFETCH(QByteArray, description);
    QFETCH(QString, named);
    resource::setRawDataOverride(QStringLiteral("TFRM_JOINTRIX"), description);
    try {
        Tfrm_Jointrix window;
        QFAIL("a broken description built a window");
    } catch (const std::runtime_error &error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(named), error.what());
    }
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
