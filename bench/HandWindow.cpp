// The fair baseline of the module's cold start: a plain Qt program that builds, by hand, the
// window jointrix-host shows, with the same labels, lists, fields, faces, diagram and report
// text, in the host's order: show, let the first show through, write the report, quit. It is
// what `jointrix-host --calculate --quit-after-show` costs without the module's own work (its
// loading, its form description, its skin and its report writer), so the ratio of the two
// measures that work, where the empty window of jointrix-bare-window mostly measures fonts.

#include "platform/fonts/Fonts.h"

#include <QApplication>
#include <QBitmap>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

namespace {

QString picture(const char *name)
{
    return QStringLiteral(JOINTRIX_PICTURES_DIR "/") + QLatin1String(name);
}

void label(QWidget *parent, const QRect &geometry, const QString &text, bool enabled = true)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setEnabled(enabled);
}

void list(QWidget *parent, const QRect &geometry, const QStringList &items, bool enabled = true)
{
    auto *list = new QComboBox(parent);
    list->setGeometry(geometry);
    list->addItems(items);
    list->setEnabled(enabled);
}

void field(QWidget *parent, const QRect &geometry, const QString &text)
{
    auto *field = new QLineEdit(text, parent);
    field->setGeometry(geometry);
    field->setMaxLength(8);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    fonts::installSubstitutes();

    // The host's size control at its default size, the tool inside it at 0, 0.
    QMainWindow host;
    host.setWindowTitle(QStringLiteral("jointrix-host"));
    auto *container = new QWidget(&host);
    host.setCentralWidget(container);
    host.resize(1023, 738);

    auto *window = new QWidget(container);
    window->setGeometry(0, 0, 824, 616);
    window->setFont(QFont(QStringLiteral("宋体"), 9));
    window->setWindowTitle(QStringLiteral("焊缝连接计算"));
    window->setWindowIcon(QIcon(picture("ICON.ico")));
    window->setBackgroundRole(QPalette::Button);
    window->setAutoFillBackground(true);

    auto *group = new QGroupBox(QStringLiteral("已知参数"), window);
    group->setGeometry(20, 9, 557, 210);
    QPalette grey = group->palette();
    grey.setColor(QPalette::Window, QColor(226, 226, 226));
    group->setPalette(grey);
    group->setAutoFillBackground(true);
    label(group, {46, 27, 94, 13}, QStringLiteral("焊缝连接形式："));
    list(group, {298, 21, 172, 20},
         {QStringLiteral("单边角焊缝"), QStringLiteral("双边角焊缝"), QStringLiteral("平焊缝连接"),
          QStringLiteral("搭接焊缝连接")});
    label(group, {46, 65, 94, 13}, QStringLiteral("焊缝等级："), false);
    list(group, {298, 60, 172, 20},
         {QStringLiteral("一级"), QStringLiteral("二级"), QStringLiteral("三级")}, false);
    label(group, {46, 104, 94, 13}, QStringLiteral("焊条型号："));
    list(group, {298, 99, 172, 20},
         {QStringLiteral("E43型"), QStringLiteral("E50型"), QStringLiteral("E55型")});
    label(group, {46, 143, 118, 13}, QStringLiteral("焊缝厚度hf(mm)："));
    field(group, {298, 138, 172, 20}, QStringLiteral("10"));
    label(group, {46, 181, 121, 13}, QStringLiteral("焊缝长度Lf(mm)："));
    field(group, {298, 177, 172, 20}, QStringLiteral("1000"));

    auto *panel = new QFrame(window);
    panel->setGeometry(597, 13, 206, 206);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setMidLineWidth(1);
    panel->setPalette(grey);
    panel->setAutoFillBackground(true);
    auto *image = new QLabel(panel);
    image->setGeometry(3, 3, 200, 200);
    image->setScaledContents(true);
    image->setPixmap(QPixmap(picture("JPG1.jpg")));

    auto *report = new QTextEdit(window);
    report->setGeometry(20, 229, 783, 332);
    report->setFont(QFont(QStringLiteral("宋体"), 12));
    report->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    report->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    report->setTabChangesFocus(true);

    // The glyph strip's first picture, its background colour (the bottom left pixel) clear.
    QPixmap glyph = QPixmap(picture("GLYPH_OK.bmp")).copy(0, 0, 18, 18);
    glyph.setMask(glyph.createMaskFromColor(glyph.toImage().pixelColor(0, 17)));
    auto *calculate = new QPushButton(QIcon(glyph), QStringLiteral(" 计 算"), window);
    calculate->setGeometry(716, 578, 79, 25);
    calculate->setDefault(true);

    host.show();
    QCoreApplication::processEvents();

    // What Calculate writes: four lines in the report's face.
    QTextCharFormat face;
    face.setFontFamilies({QStringLiteral("Times New Roman")});
    face.setFontPointSize(12);
    QTextCursor cursor(report->document());
    cursor.beginEditBlock();
    for (const QString &line : {QStringLiteral("单边角焊缝连接计算："),
                                QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
                                QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
                                QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；")}) {
        cursor.insertText(line + QLatin1Char('\n'), face);
    }
    cursor.endEditBlock();
    return 0;
}
