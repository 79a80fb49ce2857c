// The control inside a shown, active window: real key events, real Tab presses, and one real
// modal box.
#include "controls/LxEdit.h"
#include "platform/msgbox/MsgBox.h"
#include "platform/numtext/NumText.h"
#include "support/MsgBoxRecorder.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

// Closes every modal box that comes up with Enter, keeping what it showed.
class ModalCloser : public QObject
{
public:
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
    };

    ModalCloser()
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            Seen seen {box->windowTitle(), box->text(), box->icon(), {}};
            for (QAbstractButton *button : box->buttons())
                seen.buttons.append(button->text());
            boxes.append(seen);
            QTest::keyClick(box, Qt::Key_Return);
        });
        m_timer.start();
    }

    QList<Seen> boxes;

private:
    QTimer m_timer;
};

} // namespace

class TestLxEditWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void typedKeysAreFiltered();
    void tabToTheNextFieldChecks();
    void tabWithValueOutOfRange();
    void twoInvalidFieldsDoNotPingPong();
    void programFocusChangeChecks();
    void deactivatingTheWindowDoesNotCheck();
    void ctrlZUndoesCtrlShiftZDoesNot();
    void realModalBoxOnTab();

private:
    void tab() { QTest::keyClick(m_window->windowHandle(), Qt::Key_Tab); }

    std::unique_ptr<QWidget> m_window;
    TLxEdit *m_hf = nullptr;
    TLxEdit *m_lf = nullptr;
    QLineEdit *m_other = nullptr;
};

void TestLxEditWindow::init()
{
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    const auto field = [&](const char *name, double max) {
        auto *edit = new TLxEdit(m_window.get());
        edit->setObjectName(QLatin1String(name));
        edit->setEditType(TLxEdit::EditInt);
        edit->setMinValue(1);
        edit->setMaxValue(max);
        edit->setIsCheckDataValidatiy(true);
        layout->addWidget(edit);
        return edit;
    };
    m_hf = field("edt_hf", 100);
    m_lf = field("edt_Lf", 10000);
    m_hf->setText(QStringLiteral("10"));
    m_lf->setText(QStringLiteral("1000"));
    m_other = new QLineEdit(m_window.get());
    layout->addWidget(m_other);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_hf->setFocus();
    QVERIFY(m_hf->hasFocus());
}

void TestLxEditWindow::cleanup()
{
    m_window.reset();
}

void TestLxEditWindow::typedKeysAreFiltered()
{
    const msgbox::Recorder recorder;
    m_hf->selectAll();
    QTest::keyClicks(m_hf, QStringLiteral("1a.-5 "));
    QCOMPARE(m_hf->text(), QStringLiteral("15"));

    m_lf->setEditType(TLxEdit::EditFloat);
    m_lf->setCanNegative(true);
    m_lf->setText(QString());
    m_lf->setFocus();
    const QString separator(numtext::decimalSeparator());
    QTest::keyClicks(m_lf,
                     QStringLiteral("12-3") + separator + QStringLiteral("4") + separator
                         + QStringLiteral("5x"));
    QCOMPARE(m_lf->text(), QStringLiteral("-3") + separator + QStringLiteral("45"));

    // Alt with a character types nothing, not even what the filter would let through.
    m_lf->setCanNegative(false);
    QTest::keyClick(m_lf, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(m_lf, Qt::Key_Minus, Qt::AltModifier);
    QTest::keyClick(m_lf, Qt::Key_7, Qt::AltModifier);
    QCOMPARE(m_lf->text(), QStringLiteral("-3") + separator + QStringLiteral("45"));
    QVERIFY(recorder.isEmpty());
}

void TestLxEditWindow::tabToTheNextFieldChecks()
{
    msgbox::Recorder recorder;
    QSignalSpy exits(m_hf, &TLxEdit::Exit);
    m_hf->selectAll();
    QTest::keyClicks(m_hf, QStringLiteral("55"));
    tab();
    QVERIFY(m_lf->hasFocus());
    QCOMPARE(exits.size(), 1);
    QVERIFY(recorder.isEmpty());
    QCOMPARE(m_hf->text(), QStringLiteral("55"));

    // Leaving a field emptied by Backspace turns it into "0" and then fails the range.
    m_lf->selectAll();
    QTest::keyClick(m_lf, Qt::Key_Backspace);
    QTest::keyClick(m_window->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(recorder.requests.size(), 1);
    QCOMPARE(recorder.requests.front().text,
             QStringLiteral("请输入 1 (包含) 到 10000 (包含) 之间的整数！"));
    QVERIFY(m_lf->hasFocus());
    QCOMPARE(m_lf->text(), QStringLiteral("0"));
}

void TestLxEditWindow::tabWithValueOutOfRange()
{
    msgbox::Recorder recorder;
    m_hf->selectAll();
    QTest::keyClicks(m_hf, QStringLiteral("101"));
    tab();
    QCOMPARE(recorder.requests.size(), 1);
    QCOMPARE(recorder.requests.front().text,
             QStringLiteral("请输入 1 (包含) 到 100 (包含) 之间的整数！"));
    QVERIFY(m_hf->hasFocus());
    QCOMPARE(m_hf->selectedText(), QStringLiteral("101"));

    // Typing over the selection and leaving again passes.
    QTest::keyClicks(m_hf, QStringLiteral("100"));
    tab();
    QCOMPARE(recorder.requests.size(), 1);
    QVERIFY(m_lf->hasFocus());
}

void TestLxEditWindow::twoInvalidFieldsDoNotPingPong()
{
    // The length field got its "0" from the program; the thickness field is left with 0 too.
    m_lf->setText(QStringLiteral("0"));
    m_hf->setText(QStringLiteral("0"));
    msgbox::Recorder recorder;
    tab();
    QCOMPARE(recorder.requests.size(), 1);
    QCOMPARE(recorder.requests.front().text,
             QStringLiteral("请输入 1 (包含) 到 100 (包含) 之间的整数！"));
    QVERIFY(m_hf->hasFocus());
}

void TestLxEditWindow::programFocusChangeChecks()
{
    msgbox::Recorder recorder;
    m_hf->setText(QStringLiteral("0"));
    m_other->setFocus();
    QCOMPARE(recorder.requests.size(), 1);
    QVERIFY(m_hf->hasFocus());
}

void TestLxEditWindow::deactivatingTheWindowDoesNotCheck()
{
    msgbox::Recorder recorder;
    QSignalSpy exits(m_hf, &TLxEdit::Exit);
    m_hf->setText(QStringLiteral("0"));

    QWidget elsewhere;
    elsewhere.resize(100, 50);
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QVERIFY(!m_hf->hasFocus());

    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_VERIFY(m_hf->hasFocus());
    QVERIFY(recorder.isEmpty());
    QCOMPARE(exits.size(), 0);
}

void TestLxEditWindow::ctrlZUndoesCtrlShiftZDoesNot()
{
    const msgbox::Recorder recorder;
    m_hf->setText(QString());
    QTest::keyClicks(m_hf, QStringLiteral("12"));
    QCOMPARE(m_hf->text(), QStringLiteral("12"));
    QTest::keyClick(m_hf, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_hf->text(), QString());
    QTest::keyClick(m_hf, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_hf->text(), QString());

    QTest::keyClicks(m_hf, QStringLiteral("7"));
    QTest::keyClick(m_hf, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(m_hf->text(), QStringLiteral("7"));
}

void TestLxEditWindow::realModalBoxOnTab()
{
    m_hf->selectAll();
    QTest::keyClicks(m_hf, QStringLiteral("0"));
    const ModalCloser closer;
    tab(); // returns once the box has been closed
    QTRY_VERIFY(m_hf->hasFocus());
    QCOMPARE(m_hf->selectedText(), QStringLiteral("0"));
    // Long enough for a second box to show up, should the check run again.
    QTest::qWait(200);
    QCOMPARE(closer.boxes.size(), 1);
    const ModalCloser::Seen &box = closer.boxes.front();
    QCOMPARE(box.title, QStringLiteral("提示信息"));
    QCOMPARE(box.text, QStringLiteral("请输入 1 (包含) 到 100 (包含) 之间的整数！"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons.size(), 1);
}

QTEST_MAIN(TestLxEditWindow)

#include "tst_lxedit_window.moc"
