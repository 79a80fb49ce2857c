#include "controls/LxEdit.h"
#include "platform/msgbox/MsgBox.h"
#include "platform/numtext/NumText.h"
#include "platform/skin/SkinData.h"
#include "platform/skin/SkinLinks.h"
#include "platform/skin/SkinMessage.h"
#include "support/MsgBoxRecorder.h"
#include "ui/FormLoader.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <cstdio>
#include <memory>

static_assert(sizeof(TNumEditType) == 1);

namespace {

// Test texts write the locale's decimal separator as '#'.
QString sep(const char *text)
{
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('#'), numtext::decimalSeparator());
    return s;
}

bool commaLocale()
{
    return numtext::decimalSeparator() != QLatin1Char('.');
}

struct Config
{
    TNumEditType type = TLxEdit::EditFloat;
    double min = 0;
    double max = 0;
    bool setMax = true;
    bool lower = true;
    bool upper = true;
    int mydec = 2;
    bool formatNumPoint = false;
    bool canNegative = false;
    bool showError = true;
};

const char *const InvalidData = "数据非法！";

} // namespace

Q_DECLARE_METATYPE(Config)

class TestLxEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void defaults();
    void propertiesInDeclaredOrder();
    void formSetsEveryProperty();

    void numbRead_data();
    void numbRead();
    void numbWrite_data();
    void numbWrite();

    void mydecSetter_data();
    void mydecSetter();
    void editTypeSetter_data();
    void editTypeSetter();

    void keystrokeFilter_data();
    void keystrokeFilter();
    void controlShortcutsDoNothing_data();
    void controlShortcutsDoNothing();
    void keysWithoutCharacterPass();
    void inputMethodCommitIsFiltered();

    void checkDataValidity_data();
    void checkDataValidity();

    void promptPlainOrSkinned();
    void promptBoxIsShared();

private:
    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_other = nullptr;
};

void TestLxEdit::initTestCase()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(300, 100);
    m_other = new QLineEdit(m_window.get());
    m_other->move(0, 40);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestLxEdit::cleanupTestCase()
{
    m_window.reset();
}

void TestLxEdit::defaults()
{
    const TLxEdit edit;
    QCOMPARE(edit.text(), sep("0#00"));
    QCOMPARE(edit.Mydec(), 2);
    QCOMPARE(edit.EditType(), TLxEdit::EditFloat);
    QVERIFY(edit.ShowError());
    QVERIFY(edit.SetMaxValue());
    QVERIFY(edit.IncludeUpperLimitValue());
    QVERIFY(edit.IncludeLowerLimitValue());
    QCOMPARE(edit.MaxValue(), 0.0);
    QCOMPARE(edit.MinValue(), 0.0);
    QCOMPARE(edit.Skindate(), nullptr);
    QVERIFY(!edit.FormatNumPoint());
    QCOMPARE(edit.Version(), QStringLiteral("20070412"));
    QVERIFY(!edit.IsCheckDataValidatiy());
    QVERIFY(!edit.CanNegative());
    QCOMPARE(edit.maxLength(), 8);
}

void TestLxEdit::propertiesInDeclaredOrder()
{
    const QMetaObject &mo = TLxEdit::staticMetaObject;
    const QList<QPair<const char *, QMetaType>> expected = {
        {"Numb", QMetaType::fromType<float>()},
        {"Mydec", QMetaType::fromType<qint32>()},
        {"EditType", QMetaType::fromType<TNumEditType>()},
        {"ShowError", QMetaType::fromType<bool>()},
        {"SetMaxValue", QMetaType::fromType<bool>()},
        {"IncludeUpperLimitValue", QMetaType::fromType<bool>()},
        {"IncludeLowerLimitValue", QMetaType::fromType<bool>()},
        {"MaxValue", QMetaType::fromType<double>()},
        {"MinValue", QMetaType::fromType<double>()},
        {"Skindate", QMetaType::fromType<TbsSkinData *>()},
        {"FormatNumPoint", QMetaType::fromType<bool>()},
        {"Version", QMetaType::fromType<QString>()},
        {"IsCheckDataValidatiy", QMetaType::fromType<bool>()},
        {"CanNegative", QMetaType::fromType<bool>()},
    };
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaProperty p = mo.property(mo.propertyOffset() + i);
        QCOMPARE(p.name(), expected[i].first);
        QCOMPARE(p.metaType(), expected[i].second);
        QVERIFY(p.isWritable());
    }
    const QMetaProperty editType = mo.property(mo.indexOfProperty("EditType"));
    QVERIFY(editType.isEnumType());
    QCOMPARE(editType.enumerator().keyToValue("EditInt"), 0);
    QCOMPARE(editType.enumerator().keyToValue("EditFloat"), 1);
}

void TestLxEdit::formSetsEveryProperty()
{
    const QByteArray ui = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <widget class="TLxEdit" name="edt_hf">
   <property name="Mydec"><number>3</number></property>
   <property name="EditType"><enum>TLxEdit::EditInt</enum></property>
   <property name="Numb"><double>42</double></property>
   <property name="ShowError"><bool>false</bool></property>
   <property name="SetMaxValue"><bool>false</bool></property>
   <property name="IncludeUpperLimitValue"><bool>false</bool></property>
   <property name="IncludeLowerLimitValue"><bool>false</bool></property>
   <property name="MaxValue"><double>100.5</double></property>
   <property name="MinValue"><double>1.25</double></property>
   <property name="SkindateName"><string>bsSkinData1</string></property>
   <property name="FormatNumPoint"><bool>true</bool></property>
   <property name="Version"><string>版本 2</string></property>
   <property name="IsCheckDataValidatiy"><bool>true</bool></property>
   <property name="CanNegative"><bool>true</bool></property>
   <property name="maxLength"><number>5</number></property>
  </widget>
  <widget class="TLxEdit" name="edt_Lf">
   <property name="EditType"><enum>EditInteger</enum></property>
   <property name="SkindateName"><string>noSuchSkin</string></property>
  </widget>
 </widget>
 <customwidgets>
  <customwidget>
   <class>TLxEdit</class>
   <extends>QLineEdit</extends>
   <header>controls/LxEdit.h</header>
  </customwidget>
 </customwidgets>
</ui>
)";
    QBuffer buffer;
    buffer.setData(ui);
    const std::unique_ptr<FormLoader> loader = FormLoader::make();
    const std::unique_ptr<QWidget> form(loader->load(&buffer));
    QVERIFY2(form, qPrintable(loader->errorString()));

    auto *hf = form->findChild<TLxEdit *>(QStringLiteral("edt_hf"));
    auto *lf = form->findChild<TLxEdit *>(QStringLiteral("edt_Lf"));
    QVERIFY(hf && lf);
    QCOMPARE(hf->Mydec(), 3);
    QCOMPARE(hf->EditType(), TLxEdit::EditInt);
    QCOMPARE(hf->text(), QStringLiteral("42"));
    QCOMPARE(hf->Numb(), 42.0f);
    QVERIFY(!hf->ShowError());
    QVERIFY(!hf->SetMaxValue());
    QVERIFY(!hf->IncludeUpperLimitValue());
    QVERIFY(!hf->IncludeLowerLimitValue());
    QCOMPARE(hf->MaxValue(), 100.5);
    QCOMPARE(hf->MinValue(), 1.25);
    QVERIFY(hf->FormatNumPoint());
    QCOMPARE(hf->Version(), QStringLiteral("版本 2"));
    QVERIFY(hf->IsCheckDataValidatiy());
    QVERIFY(hf->CanNegative());
    QCOMPARE(hf->maxLength(), 5);
    // The typing limit never cuts text the program sets.
    hf->setText(QStringLiteral("123456789"));
    QCOMPARE(hf->text(), QStringLiteral("123456789"));

    // An unknown enum key reaches the setter as -1 and is ignored.
    QCOMPARE(lf->EditType(), TLxEdit::EditFloat);
    QCOMPARE(lf->text(), sep("0#00"));

    QCOMPARE(hf->Skindate(), nullptr);
    auto *skin = new TbsSkinData(form.get());
    skin->setObjectName(QStringLiteral("bsSkinData1"));
    QCOMPARE(skin::resolveLinks(form.get()), QStringList {QStringLiteral("noSuchSkin")});
    QCOMPARE(hf->Skindate(), skin);
    QCOMPARE(lf->Skindate(), nullptr);
}

void TestLxEdit::numbRead_data()
{
    QTest::addColumn<TNumEditType>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("textAfter");

    const auto real = TLxEdit::EditFloat;
    const auto whole = TLxEdit::EditInt;
    QTest::newRow("real") << real << sep("2#5") << 2.5f << sep("2#5");
    QTest::newRow("real, blanks and exponent")
        << real << sep(" -1#5e2 ") << -150.0f << sep(" -1#5e2 ");
    QTest::newRow("real 0.1") << real << sep("0#1") << 0.1f << sep("0#1");
    QTest::newRow("eight nines, whole")
        << whole << QStringLiteral("99999999") << 1.0e8f << QStringLiteral("99999999");
    QTest::newRow("lone minus") << real << QStringLiteral("-") << 0.0f << QString();
    QTest::newRow("letters") << real << QStringLiteral("abc") << 0.0f << QString();
    QTest::newRow("empty") << real << QString() << 0.0f << QString();
    QTest::newRow("real in a whole field") << whole << sep("1#5") << 0.0f << QString();
    QTest::newRow("beyond 32 bits") << whole << QStringLiteral("2147483648") << 0.0f << QString();
    QTest::newRow("lowest 32-bit") << whole << QStringLiteral("-2147483648") << -2147483648.0f
                                   << QStringLiteral("-2147483648");
    QTest::newRow("beyond single range") << real << QStringLiteral("1e39") << 0.0f << QString();
    if (commaLocale()) {
        // The conversion knows the locale's separator only.
        QTest::newRow("full stop under a comma locale")
            << real << QStringLiteral("1.5") << 0.0f << QString();
    }
}

void TestLxEdit::numbRead()
{
    QFETCH(TNumEditType, type);
    QFETCH(QString, text);
    QFETCH(float, value);
    QFETCH(QString, textAfter);

    TLxEdit edit;
    edit.setEditType(type);
    edit.setText(text);
    QCOMPARE(edit.Numb(), value);
    QCOMPARE(edit.text(), textAfter);
    // Through the property system too, as a form's script would read it.
    edit.setText(text);
    QCOMPARE(edit.property("Numb").toFloat(), value);
}

void TestLxEdit::numbWrite_data()
{
    QTest::addColumn<TNumEditType>("type");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("0.1 shows its single value")
        << TLxEdit::EditFloat << 0.1f << sep("0#100000001490116");
    QTest::newRow("2.5 into a whole field") << TLxEdit::EditInt << 2.5f << sep("2#5");
    QTest::newRow("zero") << TLxEdit::EditFloat << 0.0f << QStringLiteral("0");
    QTest::newRow("negative") << TLxEdit::EditFloat << -1.5f << sep("-1#5");
    QTest::newRow("hundred million") << TLxEdit::EditInt << 1.0e8f << QStringLiteral("100000000");
    QTest::newRow("large, exponent form")
        << TLxEdit::EditFloat << 1.0e20f << sep("1#00000002004088E20");
}

void TestLxEdit::numbWrite()
{
    QFETCH(TNumEditType, type);
    QFETCH(float, value);
    QFETCH(QString, text);

    TLxEdit edit;
    edit.setEditType(type);
    edit.setNumb(value);
    QCOMPARE(edit.text(), text);
}

void TestLxEdit::mydecSetter_data()
{
    QTest::addColumn<TNumEditType>("type");
    QTest::addColumn<bool>("formatNumPoint");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mydec");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<int>("mydecAfter");

    const auto real = TLxEdit::EditFloat;
    const auto whole = TLxEdit::EditInt;
    QTest::newRow("pads 1.5 to 3") << real << true << sep("1#5") << 3 << sep("1#500") << 3;
    QTest::newRow("never removes digits")
        << real << true << sep("1#2345") << 3 << sep("1#2345") << 3;
    QTest::newRow("whole text gets decimals")
        << real << true << QStringLiteral("7") << 2 << sep("7#00") << 2;
    QTest::newRow("empty text") << real << true << QString() << 2 << sep("0#00") << 2;
    QTest::newRow("trims first") << real << true << sep(" 1#5\t") << 2 << sep("1#50") << 2;
    QTest::newRow("zero means 2, text alone") << real << true << sep("1#5") << 0 << sep("1#5") << 2;
    QTest::newRow("negative means 2") << real << true << sep("1#5") << -4 << sep("1#5") << 2;
    QTest::newRow("without FormatNumPoint") << real << false << sep("1#5") << 3 << sep("1#5") << 3;
    QTest::newRow("whole field") << whole << true << QStringLiteral("1") << 3 << QStringLiteral("1")
                                 << 3;
    // The padding stops at 255 decimals; Mydec itself is kept.
    QTest::newRow("absurd Mydec") << real << true << sep("1#5") << INT_MAX
                                  << sep("1#5") + QString(254, QLatin1Char('0')) << INT_MAX;
}

void TestLxEdit::mydecSetter()
{
    QFETCH(TNumEditType, type);
    QFETCH(bool, formatNumPoint);
    QFETCH(QString, text);
    QFETCH(int, mydec);
    QFETCH(QString, textAfter);
    QFETCH(int, mydecAfter);

    TLxEdit edit;
    edit.setEditType(type);
    edit.setFormatNumPoint(formatNumPoint);
    edit.setText(text);
    edit.setMydec(mydec);
    QCOMPARE(edit.text(), textAfter);
    QCOMPARE(edit.Mydec(), mydecAfter);
}

void TestLxEdit::editTypeSetter_data()
{
    QTest::addColumn<TNumEditType>("from");
    QTest::addColumn<int>("mydec");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("textAfter");

    const auto real = TLxEdit::EditFloat;
    const auto whole = TLxEdit::EditInt;
    QTest::newRow("real to whole") << real << 2 << sep("12#5") << int(whole) << QStringLiteral("0");
    QTest::newRow("whole to real") << whole << 2 << QStringLiteral("0") << int(real) << sep("0#00");
    QTest::newRow("whole to real, 3 decimals")
        << whole << 3 << QStringLiteral("5") << int(real) << sep("5#000");
    QTest::newRow("same kind, nothing happens")
        << real << 2 << QStringLiteral("abc") << int(real) << QStringLiteral("abc");
    QTest::newRow("outside the enumeration")
        << real << 2 << QStringLiteral("abc") << -1 << QStringLiteral("abc");
}

void TestLxEdit::editTypeSetter()
{
    QFETCH(TNumEditType, from);
    QFETCH(int, mydec);
    QFETCH(QString, text);
    QFETCH(int, to);
    QFETCH(QString, textAfter);

    TLxEdit edit;
    edit.setEditType(from);
    edit.setMydec(mydec);
    edit.setText(text);
    // Through the property system, the way a form sets it.
    edit.setProperty("EditType", to);
    QCOMPARE(edit.text(), textAfter);
    QCOMPARE(int(edit.EditType()), to == -1 ? int(from) : to);
}

void TestLxEdit::keystrokeFilter_data()
{
    QTest::addColumn<TNumEditType>("type");
    QTest::addColumn<bool>("canNegative");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<QString>("textAfter");

    const auto real = TLxEdit::EditFloat;
    const auto whole = TLxEdit::EditInt;
    const QString dot = QStringLiteral(".");
    const QString separator = QString(numtext::decimalSeparator());
    for (const TNumEditType type : {real, whole}) {
        const char *kind = type == real ? "real" : "whole";
        QTest::addRow("%s: %s", kind, "digit")
            << type << false << QStringLiteral("12") << false << QStringLiteral("3") << true
            << QStringLiteral("123");
        QTest::addRow("%s: %s", kind, "letter")
            << type << false << QStringLiteral("12") << false << QStringLiteral("a") << false
            << QStringLiteral("12");
        QTest::addRow("%s: %s", kind, "exponent letter")
            << type << false << QStringLiteral("12") << false << QStringLiteral("e") << false
            << QStringLiteral("12");
        QTest::addRow("%s: %s", kind, "plus")
            << type << false << QStringLiteral("12") << false << QStringLiteral("+") << false
            << QStringLiteral("12");
        QTest::addRow("%s: %s", kind, "blank")
            << type << false << QStringLiteral("12") << false << QStringLiteral(" ") << false
            << QStringLiteral("12");
        QTest::addRow("%s: %s", kind, "minus refused")
            << type << false << QStringLiteral("12") << false << QStringLiteral("-") << false
            << QStringLiteral("12");
        QTest::addRow("%s: %s", kind, "minus starts over")
            << type << true << QStringLiteral("12") << false << QStringLiteral("-") << true
            << QStringLiteral("-");
        QTest::addRow("%s: %s", kind, "minus into empty")
            << type << true << QString() << false << QStringLiteral("-") << true
            << QStringLiteral("-");
        QTest::addRow("%s: %s", kind, "ninth character")
            << type << false << QStringLiteral("12345678") << false << QStringLiteral("9") << true
            << QStringLiteral("12345678");
        QTest::addRow("%s: %s", kind, "ninth over a selection")
            << type << false << QStringLiteral("12345678") << true << QStringLiteral("9") << true
            << QStringLiteral("9");
    }
    QTest::newRow("real: first full stop")
        << real << false << QStringLiteral("12") << false << dot << true << QStringLiteral("12.");
    QTest::newRow("real: second full stop")
        << real << false << QStringLiteral("1.2") << false << dot << false << QStringLiteral("1.2");
    QTest::newRow("real: full stop over the selected full stop")
        << real << false << QStringLiteral("1.5") << true << dot << false << QStringLiteral("1.5");
    QTest::newRow("whole: full stop")
        << whole << false << QStringLiteral("12") << false << dot << false << QStringLiteral("12");
    QTest::newRow("real: separator")
        << real << false << QStringLiteral("12") << false << separator << true << sep("12#");
    QTest::newRow("real: second separator")
        << real << false << sep("1#2") << false << separator << false << sep("1#2");
    QTest::newRow("whole: separator") << whole << false << QStringLiteral("12") << false
                                      << separator << false << QStringLiteral("12");
    if (commaLocale()) {
        // The two rules count different characters.
        QTest::newRow("real: separator after a full stop")
            << real << false << QStringLiteral("1.2") << false << separator << true << sep("1.2#");
        QTest::newRow("real: full stop after the separator")
            << real << false << sep("1#2") << false << dot << true << sep("1#2.");
    } else {
        QTest::newRow("real: comma") << real << false << QStringLiteral("12") << false
                                     << QStringLiteral(",") << false << QStringLiteral("12");
    }
}

void TestLxEdit::keystrokeFilter()
{
    QFETCH(TNumEditType, type);
    QFETCH(bool, canNegative);
    QFETCH(QString, text);
    QFETCH(bool, selectAll);
    QFETCH(QString, key);
    QFETCH(bool, passes);
    QFETCH(QString, textAfter);

    TLxEdit edit;
    edit.setEditType(type);
    edit.setCanNegative(canNegative);
    edit.setText(text);
    if (selectAll)
        edit.selectAll();
    QSignalSpy pressed(&edit, &TLxEdit::KeyPress);
    QTest::keyClick(&edit, key.front().toLatin1());
    QCOMPARE(edit.text(), textAfter);
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(pressed.front().front().value<QChar>(), passes ? key.front() : QChar());
}

void TestLxEdit::controlShortcutsDoNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<QString>("clipboardAfter");

    // Each starts from "12" with "2" selected and "99" on the clipboard.
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << QStringLiteral("12") << QStringLiteral("99");
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << QStringLiteral("12") << QStringLiteral("99");
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << QStringLiteral("12") << QStringLiteral("99");
    QTest::newRow("Ctrl+A, then a digit")
        << int(Qt::Key_A) << QStringLiteral("15") << QStringLiteral("99");
}

void TestLxEdit::controlShortcutsDoNothing()
{
    QFETCH(int, key);
    QFETCH(QString, textAfter);
    QFETCH(QString, clipboardAfter);

    TLxEdit edit;
    edit.setText(QStringLiteral("12"));
    edit.setSelection(1, 1);
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    QSignalSpy pressed(&edit, &TLxEdit::KeyPress);
    QTest::keyClick(&edit, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(pressed.front().front().value<QChar>(), QChar());
    if (key == Qt::Key_A) {
        // Had Ctrl+A selected everything, the digit would replace it all.
        QTest::keyClick(&edit, '5');
    }
    QCOMPARE(edit.text(), textAfter);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboardAfter);
}

void TestLxEdit::keysWithoutCharacterPass()
{
    TLxEdit edit;
    edit.setText(QStringLiteral("123"));
    QSignalSpy pressed(&edit, &TLxEdit::KeyPress);
    QSignalSpy down(&edit, &TLxEdit::KeyDown);
    QSignalSpy up(&edit, &TLxEdit::KeyUp);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("3"));
    // Only Backspace types a character.
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(pressed.front().front().value<QChar>(), QChar(u'\b'));
    QCOMPARE(down.size(), 5);
    QCOMPARE(up.size(), 5);
    QCOMPARE(down.at(1).at(0).toInt(), int(Qt::Key_Delete));
}

void TestLxEdit::inputMethodCommitIsFiltered()
{
    TLxEdit edit;
    edit.setText(QString());
    QInputMethodEvent event(QStringLiteral("abc"), {});
    event.setCommitString(QStringLiteral("1a2.3.4"));
    QCoreApplication::sendEvent(&edit, &event);
    QCOMPARE(edit.text(), QStringLiteral("12.34"));
}

void TestLxEdit::checkDataValidity_data()
{
    QTest::addColumn<Config>("config");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("focusBack");

    const auto whole = TLxEdit::EditInt;
    const auto real = TLxEdit::EditFloat;
    const Config hf {.type = whole, .min = 1, .max = 100};
    const Config lf {.type = whole, .min = 1, .max = 10000};
    const QString none;
    const QString invalid = QString::fromUtf8(InvalidData);
    const auto row = [](const char *name, const Config &c, const QString &text, bool result,
                        const QString &textAfter, const QString &message, bool focusBack) {
        QTest::newRow(name) << c << text << result << textAfter << message << focusBack;
    };
    const auto s = [](const char *t) { return sep(t); };

    // Whole-number fields, every template.
    const QString hfMessage = QStringLiteral("请输入 1 (包含) 到 100 (包含) 之间的整数！");
    row("hf 0", hf, QStringLiteral("0"), false, QStringLiteral("0"), hfMessage, true);
    row("hf empty", hf, QString(), false, QStringLiteral("0"), hfMessage, true);
    row("hf 100", hf, QStringLiteral("100"), true, QStringLiteral("100"), none, false);
    row("hf 1", hf, QStringLiteral("1"), true, QStringLiteral("1"), none, false);
    row("hf 101", hf, QStringLiteral("101"), false, QStringLiteral("101"), hfMessage, true);
    row("hf blanks around", hf, QStringLiteral(" 5 "), true, QStringLiteral(" 5 "), none, false);
    row("Lf 0", lf, QStringLiteral("0"), false, QStringLiteral("0"),
        QStringLiteral("请输入 1 (包含) 到 10000 (包含) 之间的整数！"), true);
    row("whole, lower exclusive", Config {.type = whole, .min = 1, .max = 100, .lower = false},
        QStringLiteral("1"), false, QStringLiteral("1"),
        QStringLiteral("请输入 1 (不包含) 到 100 (包含) 之间的整数！"), true);
    row("whole, upper exclusive", Config {.type = whole, .min = 1, .max = 100, .upper = false},
        QStringLiteral("100"), false, QStringLiteral("100"),
        QStringLiteral("请输入 1 (包含) 到 100 (不包含) 之间的整数，包含最小值，不包含最大值！"),
        true);
    row("whole, both exclusive",
        Config {.type = whole, .min = 1, .max = 100, .lower = false, .upper = false},
        QStringLiteral("100"), false, QStringLiteral("100"),
        QStringLiteral("请输入 1 (不包含) 到 100 (不包含) 之间的整数！"), true);
    row("whole, no upper limit", Config {.type = whole, .min = 1, .max = 100, .setMax = false},
        QStringLiteral("1"), false, QStringLiteral("1"), QStringLiteral("请输入大于 1 的整数！"),
        true);
    row("whole, no upper limit, large",
        Config {.type = whole, .min = 1, .max = 100, .setMax = false}, QStringLiteral("100000"),
        true, QStringLiteral("100000"), none, false);
    row("whole, 1.5 truncated passes 1", Config {.type = whole, .min = 1.5, .max = 10},
        QStringLiteral("1"), true, QStringLiteral("1"), none, false);
    row("whole, 1.5 named 2", Config {.type = whole, .min = 1.5, .max = 10}, QStringLiteral("0"),
        false, QStringLiteral("0"), QStringLiteral("请输入 2 (包含) 到 10 (包含) 之间的整数！"),
        true);
    row("whole, lone minus allowed",
        Config {.type = whole, .min = 1, .max = 100, .canNegative = true}, QStringLiteral("-"),
        false, QStringLiteral("0"), invalid, false);
    row("whole, lone minus not allowed", hf, QStringLiteral("-"), false, QStringLiteral("0"),
        hfMessage, true);
    row("whole, pasted real", hf, s("1#5"), false, QStringLiteral("0"), invalid, false);
    row("whole, pasted letters", hf, QStringLiteral("abc"), false, QStringLiteral("0"), invalid,
        false);
    row("whole, beyond 32 bits", hf, QStringLiteral("2147483648"), false, QStringLiteral("0"),
        invalid, false);
    row("whole, limit beyond 64 bits", Config {.type = whole, .min = 1, .max = 1e19},
        QStringLiteral("5"), false, QStringLiteral("0"), invalid, false);
    row("whole, new control, empty", Config {.type = whole}, QString(), true, QStringLiteral("0"),
        none, false);
    row("whole, equal limits, letters", Config {.type = whole, .min = 5, .max = 5},
        QStringLiteral("abc"), true, QStringLiteral("abc"), none, false);

    // Real fields.
    const Config fixed2 {.type = real, .formatNumPoint = true};
    row("real, 3.14159 to 2 decimals", fixed2, s("3#14159"), true, s("3#14"), none, false);
    row("real, 2.5 to 2 decimals", fixed2, s("2#5"), true, s("2#50"), none, false);
    row("real, 2.675 rounds up", fixed2, s("2#675"), true, s("2#68"), none, false);
    row("real, empty to 0.00", fixed2, QString(), true, s("0#00"), none, false);
    row("real, lone point", Config {.type = real}, QStringLiteral("."), true, s("0#0"), none,
        false);
    row("real, new control, empty", Config {.type = real}, QString(), true, s("0#0"), none, false);
    row("real, pasted letters, equal limits", fixed2, QStringLiteral("abc"), false,
        QStringLiteral("0"), invalid, false);
    row("real, lone minus kept, equal limits", Config {.type = real, .canNegative = true},
        QStringLiteral("-"), true, QStringLiteral("-"), none, false);
    row("real, lone minus to fixed decimals",
        Config {.type = real, .formatNumPoint = true, .canNegative = true}, QStringLiteral("-"),
        false, QStringLiteral("0"), invalid, false);
    const Config aboveZero {.type = real, .min = 0, .max = 10, .lower = false};
    row("real, 0.004 rounds to 0", aboveZero, s("0#004"), false, s("0#004"),
        QStringLiteral("请输入 0 (不包含) 到 10 (包含) 之间的实数！"), true);
    row("real, 0.006 rounds to 0.01", aboveZero, s("0#006"), true, s("0#006"), none, false);
    row("real, 0.126 named 0.13", Config {.type = real, .min = 0.126, .max = 10}, s("0#1"), false,
        s("0#1"), s("请输入 0#13 (包含) 到 10 (包含) 之间的实数！"), true);
    row("real, both inclusive", Config {.type = real, .min = 1, .max = 2.5}, QStringLiteral("3"),
        false, QStringLiteral("3"), s("请输入 1 (包含) 到 2#5 (包含) 之间的实数！"), true);
    row("real, upper exclusive", Config {.type = real, .min = 1, .max = 2.5, .upper = false},
        s("2#5"), false, s("2#5"), s("请输入 1 (包含) 到 2#5 (不包含) 之间的实数！"), true);
    row("real, both exclusive",
        Config {.type = real, .min = 1, .max = 2.5, .lower = false, .upper = false},
        QStringLiteral("1"), false, QStringLiteral("1"),
        s("请输入 1 (不包含) 到 2#5 (不包含) 之间的实数！"), true);
    row("real, no upper limit, lower inclusive ignored",
        Config {.type = real, .min = 0, .max = 1, .setMax = false, .lower = true},
        QStringLiteral("0"), false, QStringLiteral("0"), QStringLiteral("请输入大于 0 的实数！"),
        true);
    row("real, fixed text then range",
        Config {.type = real, .min = 1, .max = 2.5, .formatNumPoint = true}, QStringLiteral("3"),
        false, s("3#00"), s("请输入 1 (包含) 到 2#5 (包含) 之间的实数！"), true);
    row("real, ShowError off", Config {.type = real, .min = 1, .max = 10, .showError = false},
        QString(), true, QString(), none, false);
    row("real, equal limits", Config {.type = real, .min = 5, .max = 5}, QStringLiteral("100"),
        true, QStringLiteral("100"), none, false);
    row("real, Mydec 40", Config {.type = real, .min = 0, .max = 10, .mydec = 40},
        QStringLiteral("1"), false, QStringLiteral("0"), invalid, false);
    row("real, Mydec 38 fails even for 0",
        Config {.type = real, .min = 0, .max = 1e-30, .mydec = 38}, QStringLiteral("0"), false,
        QStringLiteral("0"), invalid, false);
    row("real, Mydec 37 still rounds", Config {.type = real, .min = 0, .max = 1e-30, .mydec = 37},
        QStringLiteral("0"), true, QStringLiteral("0"), none, false);
    row("real, absurd Mydec",
        Config {.type = real, .min = 0, .max = 10, .mydec = INT_MAX, .formatNumPoint = true},
        QStringLiteral("1"), false, QStringLiteral("0"), invalid, false);
    row("real, limit that cannot be rounded", Config {.type = real, .min = -1e300, .max = 1},
        QStringLiteral("0"), false, QStringLiteral("0"), invalid, false);
    if (commaLocale()) {
        row("real, full stop under a comma locale", Config {.type = real, .min = 0, .max = 10},
            QStringLiteral("1.5"), false, QStringLiteral("0"), invalid, false);
    }
}

void TestLxEdit::checkDataValidity()
{
    QFETCH(Config, config);
    QFETCH(QString, text);
    QFETCH(bool, result);
    QFETCH(QString, textAfter);
    QFETCH(QString, message);
    QFETCH(bool, focusBack);

    auto *edit = new TLxEdit(m_window.get());
    const std::unique_ptr<TLxEdit> owner(edit);
    edit->show();
    edit->setEditType(config.type);
    edit->setMinValue(config.min);
    edit->setMaxValue(config.max);
    edit->setSetMaxValue(config.setMax);
    edit->setIncludeLowerLimitValue(config.lower);
    edit->setIncludeUpperLimitValue(config.upper);
    edit->setMydec(config.mydec);
    edit->setFormatNumPoint(config.formatNumPoint);
    edit->setCanNegative(config.canNegative);
    edit->setShowError(config.showError);
    edit->setText(text);
    m_other->setFocus();
    QVERIFY(m_other->hasFocus());

    msgbox::Recorder recorder;
    QCOMPARE(edit->CheckDataValidity(), result);
    QCOMPARE(edit->text(), textAfter);
    if (message.isEmpty()) {
        QVERIFY(recorder.isEmpty());
    } else {
        QCOMPARE(recorder.requests.size(), 1);
        const msgbox::Request &shown = recorder.requests.front();
        QCOMPARE(shown.text, message);
        QCOMPARE(shown.title, QStringLiteral("提示信息"));
        QCOMPARE(shown.kind, msgbox::Kind::Exclamation);
        QVERIFY(!shown.skinned);
        QCOMPARE(shown.owner.data(), m_window.get());
    }
    QCOMPARE(edit->hasFocus(), focusBack);
    if (focusBack)
        QCOMPARE(edit->selectedText(), edit->text());
}

void TestLxEdit::promptPlainOrSkinned()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TLxEdit edit;
    msgbox::Recorder recorder;

    edit.ShowPrompt(QStringLiteral("甲"));
    auto skin = std::make_unique<TbsSkinData>();
    edit.setSkindate(skin.get());
    edit.ShowPrompt(QStringLiteral("乙"));
    QCOMPARE(recorder.requests.back().skinData.data(), skin.get());
    QFile file(dir.filePath(QStringLiteral("skin.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Skin]\nVersion=1\n[Frame]\nCaption=#000\nCaptionText=#fff\nInactiveCaption=#111\n"
               "InactiveCaptionText=#eee\nBorder=#222\nFace=#ddd\n[Button]\nFace=#ccc\n"
               "Text=#333\nBorder=#444\nHotFace=#bbb\nDownFace=#aaa\nDisabledText=#999\n"
               "[Message]\nFace=#fafafa\nText=#050505\n");
    file.close();
    QVERIFY(skin->loadFromFile(file.fileName()));
    edit.ShowPrompt(QStringLiteral("丙"));
    skin.reset();
    QCOMPARE(edit.Skindate(), nullptr);
    edit.ShowPrompt(QStringLiteral("丁"));

    QCOMPARE(recorder.requests.size(), 4);
    const QList<msgbox::Request> &r = recorder.requests;
    for (const msgbox::Request &request : r)
        QCOMPARE(request.title, QStringLiteral("提示信息"));
    QCOMPARE(r[0].text, QStringLiteral("甲"));
    QVERIFY(!r[0].skinned);
    QCOMPARE(r[0].kind, msgbox::Kind::Exclamation);
    QCOMPARE(r[1].text, QStringLiteral("乙"));
    QVERIFY(r[1].skinned);
    QCOMPARE(r[1].kind, msgbox::Kind::Information);
    QVERIFY(!r[1].appearance); // linked, but the store is empty: plain look
    QVERIFY(r[2].skinned);
    QVERIFY(r[2].appearance);
    QCOMPARE(r[2].appearance->face, QColor(QStringLiteral("#fafafa")));
    QCOMPARE(r[2].appearance->buttonFace, QColor(QStringLiteral("#ccc")));
    QVERIFY(!r[3].skinned);
    QCOMPARE(r[3].kind, msgbox::Kind::Exclamation);
}

void TestLxEdit::promptBoxIsShared()
{
    releasePromptBox();
    QCOMPARE(PromptBox(), nullptr);
    TLxEdit first;
    TbsSkinMessage *box = PromptBox();
    QVERIFY(box);
    QCOMPARE(box->parent(), nullptr);
    const TLxEdit second;
    QCOMPARE(PromptBox(), box);

    TbsSkinData skin;
    first.setSkindate(&skin);
    const msgbox::Recorder recorder;
    first.ShowPrompt(QStringLiteral("x"));
    QCOMPARE(box->SkinData(), &skin);
    QCOMPARE(box->CtrlSkinData(), &skin);

    // Released early, the next prompt brings it back.
    releasePromptBox();
    QCOMPARE(PromptBox(), nullptr);
    first.ShowPrompt(QStringLiteral("y"));
    QVERIFY(PromptBox());
    QCOMPARE(recorder.requests.size(), 2);
}

namespace {
bool g_boxDestroyed = false;
bool g_appAliveAtDestruction = false;
} // namespace

int main(int argc, char **argv)
{
    int status = 0;
    {
        QApplication app(argc, argv);
        TestLxEdit test;
        status = QTest::qExec(&test, argc, argv);
        // The shared box must go with the application, not after it.
        const TLxEdit keepsABox;
        QObject::connect(PromptBox(), &QObject::destroyed, [] {
            g_boxDestroyed = true;
            g_appAliveAtDestruction = QCoreApplication::instance() != nullptr;
        });
    }
    if (!g_boxDestroyed || !g_appAliveAtDestruction) {
        std::fprintf(stderr,
                     "FAIL: the shared prompt box was not released with the QApplication\n");
        return 1;
    }
    return status;
}

#include "tst_lxedit.moc"
