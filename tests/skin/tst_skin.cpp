#include "platform/msgbox/MsgBox.h"
#include "platform/skin/SkinData.h"
#include "platform/skin/SkinMessage.h"
#include "support/MsgBoxRecorder.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include <unistd.h>

namespace {

const QByteArray ValidSkin = "[Skin]\nVersion=1\nName=Test\n"
                             "[Frame]\nCaption=#102030\nCaptionText=#ffffff\n"
                             "InactiveCaption=#405060\nInactiveCaptionText=#eeeeee\n"
                             "Border=#000000\nFace=steelblue\n"
                             "[Button]\nFace=#cccccc\nText=#111111\nBorder=#444444\n"
                             "HotFace=#dddddd\nDownFace=#bbbbbb\nDisabledText=#999999\n"
                             "FontFamily=Serif\nFontSize=11\nFontBold=true\n"
                             "[Message]\nFace=#fafafa\nText=#050505\n";

QByteArray replaced(const char *from, const char *to)
{
    return QByteArray(ValidSkin).replace(from, to);
}

} // namespace

class TestSkin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sampleSkinLoads();
    void badFilesLeaveTheStoreEmpty_data();
    void badFilesLeaveTheStoreEmpty();
    void unreadableFile();
    void failedLoadDropsTheOldSkin();
    void rewrittenFileIsReadAgain();
    void skinnedRequest();
    void builtBoxes();
    void realSkinnedBox();
};

void TestSkin::sampleSkinLoads()
{
    TbsSkinData data;
    QVERIFY(data.loadFromFile(QStringLiteral(JOINTRIX_SAMPLE_SKIN)));
    QVERIFY(data.isLoaded());
    const TbsSkin *skin = data.skin();
    QVERIFY(skin);
    QCOMPARE(skin->name, QStringLiteral("Steel blue"));
    QCOMPARE(skin->frame.caption, QColor(0x36, 0x64, 0x8b));
    QVERIFY(skin->frame.font);
    QVERIFY(skin->frame.font->bold());
    QVERIFY(!skin->button.font);
}

void TestSkin::badFilesLeaveTheStoreEmpty_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("loads");

    QTest::newRow("valid, with a named colour and a font") << ValidSkin << true;
    QTest::newRow("invalid colour") << replaced("#102030", "#10203z") << false;
    QTest::newRow("empty colour") << replaced("#102030", "") << false;
    QTest::newRow("missing colour") << replaced("HotFace=#dddddd\n", "") << false;
    QTest::newRow("value split at a comma") << replaced("#102030", "1,2,3") << false;
    QTest::newRow("no version") << replaced("Version=1\n", "") << false;
    QTest::newRow("other version") << replaced("Version=1", "Version=2") << false;
    QTest::newRow("font size not a number") << replaced("FontSize=11", "FontSize=big") << false;
    QTest::newRow("font size out of range") << replaced("FontSize=11", "FontSize=0") << false;
    QTest::newRow("font bold not a flag") << replaced("FontBold=true", "FontBold=yes") << false;
    QTest::newRow("font without family") << replaced("FontFamily=Serif\n", "") << false;
    QTest::newRow("unclosed section") << replaced("[Message]", "[Message") << false;
    // Well formed line by line, refused by the settings parser: refused on every read.
    QTest::newRow("semicolon in a section name")
        << replaced("[Message]", "[Mes;sage]\nFace=#eeeeee\n[Message]") << false;
    QTest::newRow("binary garbage") << QByteArray("\x00\x01\xff[[[=\n=\n\x80\x81", 12) << false;
    QTest::newRow("empty file") << QByteArray() << false;
}

void TestSkin::badFilesLeaveTheStoreEmpty()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, loads);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("skin.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();

    TbsSkinData data;
    QString why;
    const bool read = TbsSkinData::readFile(path, &why).has_value();
    QCOMPARE(read, loads);
    QCOMPARE(why.isEmpty(), loads);
    QCOMPARE(data.loadFromFile(path), loads);
    QCOMPARE(data.isLoaded(), loads);
    QCOMPARE(data.skin() != nullptr, loads);
    if (loads) {
        QCOMPARE(data.skin()->frame.face, QColor(QStringLiteral("steelblue")));
        QCOMPARE(data.skin()->button.font->pointSize(), 11);
        QCOMPARE(data.fileName(), path);
    }
}

void TestSkin::unreadableFile()
{
    TbsSkinData data;
    QVERIFY(!data.loadFromFile(QStringLiteral("/nonexistent/skin/skin.ini")));
    QVERIFY(!data.loadFromFile(QString()));
    QTemporaryDir dir;
    QVERIFY(!data.loadFromFile(dir.path())); // a directory
    QVERIFY(!data.isLoaded());

    if (::geteuid() == 0)
        QSKIP("root reads files whatever their permissions");
    const QString path = dir.filePath(QStringLiteral("skin.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ValidSkin);
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
    QVERIFY(!data.loadFromFile(path));
    QVERIFY(!data.isLoaded());
}

void TestSkin::failedLoadDropsTheOldSkin()
{
    TbsSkinData data;
    QSignalSpy changed(&data, &TbsSkinData::skinChanged);
    QVERIFY(data.loadFromFile(QStringLiteral(JOINTRIX_SAMPLE_SKIN)));
    QVERIFY(!data.loadFromFile(QStringLiteral("/nonexistent/skin.ini")));
    QVERIFY(!data.isLoaded());
    QVERIFY(data.fileName().isEmpty());
    QCOMPARE(changed.size(), 2);
    data.clear(); // already empty: no change
    QCOMPARE(changed.size(), 2);
}

// A file rewritten in place at the same size, faster than its time stamp moves, holds what was
// last written, whether that loads or not.
void TestSkin::rewrittenFileIsReadAgain()
{
    const QByteArray invalid = replaced("#102030", "#10203z");
    QCOMPARE(invalid.size(), ValidSkin.size());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("skin.ini"));
    TbsSkinData data;
    for (int round = 0; round < 200; ++round) {
        const bool valid = round % 2 == 0;
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(valid ? ValidSkin : invalid);
        file.close();
        QCOMPARE(data.loadFromFile(path), valid);
    }
}

void TestSkin::skinnedRequest()
{
    TbsSkinMessage message;
    msgbox::Recorder recorder;
    message.showMessage(QStringLiteral("无皮肤"));

    auto skin = std::make_unique<TbsSkinData>();
    QVERIFY(skin->loadFromFile(QStringLiteral(JOINTRIX_SAMPLE_SKIN)));
    message.setSkinData(skin.get());
    message.setCtrlSkinData(skin.get());
    QWidget owner;
    message.showMessage(QStringLiteral("有皮肤"), &owner);
    skin.reset();
    QCOMPARE(message.SkinData(), nullptr);
    QCOMPARE(message.CtrlSkinData(), nullptr);
    message.showMessage(QStringLiteral("皮肤已删除"));

    QCOMPARE(recorder.requests.size(), 3);
    for (const msgbox::Request &r : std::as_const(recorder.requests)) {
        QVERIFY(r.skinned);
        QCOMPARE(r.kind, msgbox::Kind::Information);
        QCOMPARE(r.title, QStringLiteral("提示信息"));
    }
    QVERIFY(!recorder.requests[0].appearance);
    QVERIFY(recorder.requests[1].appearance);
    QCOMPARE(recorder.requests[1].appearance->face, QColor(0xee, 0xf2, 0xf6));
    QCOMPARE(recorder.requests[1].appearance->buttonBorder, QColor(0x4a, 0x6f, 0x93));
    QCOMPARE(recorder.requests[1].owner.data(), &owner);
    QVERIFY(!recorder.requests[2].appearance);
    QVERIFY(!recorder.requests[2].skinData);
}

void TestSkin::builtBoxes()
{
    msgbox::Request skinned;
    skinned.text = QStringLiteral("<b>文本</b>");
    skinned.title = QStringLiteral("提示信息");
    skinned.kind = msgbox::Kind::Information;
    skinned.skinned = true;
    msgbox::Appearance look;
    look.face = QColor(Qt::white);
    look.buttonFace = QColor(Qt::gray);
    skinned.appearance = look;
    const std::unique_ptr<QMessageBox> box = msgbox::makeBox(skinned);
    QCOMPARE(box->windowTitle(), QStringLiteral("提示信息"));
    QCOMPARE(box->text(), QStringLiteral("<b>文本</b>"));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->icon(), QMessageBox::Information);
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
    QCOMPARE(box->buttons().size(), 1);
    QAbstractButton *ok = box->buttons().front();
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    QCOMPARE(box->defaultButton(), ok);
    QCOMPARE(box->escapeButton(), ok);
    QVERIFY(box->styleSheet().contains(QStringLiteral("#ffffff")));

    msgbox::Request plain;
    plain.text = QStringLiteral("数据非法！");
    plain.title = QStringLiteral("提示信息");
    const std::unique_ptr<QMessageBox> plainBox = msgbox::makeBox(plain);
    QCOMPARE(plainBox->icon(), QMessageBox::Warning);
    QCOMPARE(plainBox->standardButtons(), QMessageBox::Ok);
    QCOMPARE(plainBox->buttons().size(), 1);
    QCOMPARE(plainBox->defaultButton(), plainBox->button(QMessageBox::Ok));
    QCOMPARE(plainBox->escapeButton(), plainBox->button(QMessageBox::Ok));
    QVERIFY(plainBox->styleSheet().isEmpty());
}

void TestSkin::realSkinnedBox()
{
    TbsSkinData skin;
    QVERIFY(skin.loadFromFile(QStringLiteral(JOINTRIX_SAMPLE_SKIN)));
    TbsSkinMessage message;
    message.setSkinData(&skin);
    message.setCtrlSkinData(&skin);

    QString seenTitle;
    QString seenButton;
    int polls = 0;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, this, [&] {
        if (++polls > 500) // give up after ten seconds rather than hang
            poll.stop();
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seenTitle = box->windowTitle();
        seenButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        // Escape closes it too: the one button is also the cancel button.
        QTest::keyClick(box, Qt::Key_Escape);
    });
    poll.start();
    message.showMessage(QStringLiteral("皮肤"));
    QCOMPARE(seenTitle, QStringLiteral("提示信息"));
    QCOMPARE(seenButton, QStringLiteral("确定"));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

QTEST_MAIN(TestSkin)

#include "tst_skin.moc"
