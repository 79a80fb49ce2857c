// Creating the calculator window from its stored description (loaded, built, shown, first
// diagram decoded) against building the same widget tree directly in code.

#include "controls/LxEdit.h"
#include "platform/jpeg/Jpeg.h"
#include "platform/panel/GroupBox.h"
#include "platform/panel/Panel.h"
#include "platform/resource/Resource.h"
#include "platform/skin/SkinButton.h"
#include "platform/skin/SkinData.h"
#include "platform/skin/SkinForm.h"
#include "platform/skin/SkinMessage.h"
#include "ui/RichEdit.h"
#include "ui/U_Main.h"

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>

namespace {

void WindowCreation_ours(benchmark::State &state)
{
    for (auto _ : state) {
        auto *window = new Tfrm_Jointrix;
        window->show();
        QCoreApplication::processEvents();
        delete window;
    }
}
BENCHMARK(WindowCreation_ours)->Name("WindowCreation/ours")->Unit(benchmark::kMicrosecond);

QLabel *label(QWidget *parent, const QRect &geometry, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(geometry);
    return l;
}

QComboBox *list(QWidget *parent, const QRect &geometry, const QStringList &items)
{
    auto *c = new QComboBox(parent);
    c->setGeometry(geometry);
    c->addItems(items);
    return c;
}

TLxEdit *field(QWidget *parent, const QRect &geometry, double maxValue, TbsSkinData *skin)
{
    auto *e = new TLxEdit(parent);
    e->setGeometry(geometry);
    e->setEditType(TLxEdit::EditInt);
    e->setMinValue(1);
    e->setMaxValue(maxValue);
    e->setIsCheckDataValidatiy(true);
    e->setSkindate(skin);
    e->setText(QStringLiteral("0"));
    return e;
}

TbsSkinButton *button(QWidget *parent, const QRect &geometry, const QString &text,
                      const QString &glyph, TbsSkinData *skin)
{
    auto *b = new TbsSkinButton(parent);
    b->setGeometry(geometry);
    b->setText(text);
    b->setNumGlyphs(2);
    b->setSpacing(1);
    b->setGlyph(QPixmap(glyph));
    b->setSkinData(skin);
    return b;
}

// The same tree as the description, with the same settings, made by hand.
void WindowCreation_baseline(benchmark::State &state)
{
    for (auto _ : state) {
        auto *window = new QWidget;
        window->setGeometry(39, 22, 824, 616);
        window->setFont(QFont(QStringLiteral("宋体"), 9));
        window->setWindowTitle(QStringLiteral("焊缝连接计算"));
        window->setWindowIcon(QIcon(QStringLiteral(":/jointrix/images/ICON.ico")));
        auto *skin = new TbsSkinData(window);
        auto *message = new TbsSkinMessage(window);
        message->setSkinData(skin);
        auto *frame = new TbsBusinessSkinForm(window);
        frame->setSkinData(skin);

        auto *group = new TGroupBox(window);
        group->setGeometry(20, 9, 557, 210);
        group->setTitle(QStringLiteral("已知参数"));
        group->setColor(QColor(226, 226, 226));
        label(group, {46, 27, 94, 13}, QStringLiteral("焊缝连接形式："));
        list(group, {298, 21, 172, 20},
             {QStringLiteral("单边角焊缝"), QStringLiteral("双边角焊缝"),
              QStringLiteral("平焊缝连接"), QStringLiteral("搭接焊缝连接")});
        label(group, {46, 65, 94, 13}, QStringLiteral("焊缝等级："));
        list(group, {298, 60, 172, 20},
             {QStringLiteral("一级"), QStringLiteral("二级"), QStringLiteral("三级")});
        label(group, {46, 104, 94, 13}, QStringLiteral("焊条型号："));
        list(group, {298, 99, 172, 20},
             {QStringLiteral("E43型"), QStringLiteral("E50型"), QStringLiteral("E55型")});
        label(group, {46, 143, 118, 13}, QStringLiteral("焊缝厚度hf(mm)："));
        TLxEdit *hf = field(group, {298, 138, 172, 20}, 100, skin);
        label(group, {46, 181, 121, 13}, QStringLiteral("焊缝长度Lf(mm)："));
        TLxEdit *lf = field(group, {298, 177, 172, 20}, 10000, skin);

        auto *panel = new TPanel(window);
        panel->setGeometry(597, 13, 206, 206);
        panel->setBevelOuter(TPanel::bvRaised);
        panel->setBevelInner(TPanel::bvLowered);
        panel->setBorderWidth(1);
        panel->setColor(QColor(226, 226, 226));
        auto *image = new QLabel(panel);
        image->setGeometry(3, 3, 200, 200);
        image->setScaledContents(true);
        image->setPixmap(QPixmap(QStringLiteral(":/jointrix/rcdata/JPG1")));

        auto *report = new TRxRichEdit(window);
        report->setGeometry(20, 229, 783, 332);
        report->setFont(QFont(QStringLiteral("宋体"), 12));
        report->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        report->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        report->setTabChangesFocus(true);
        button(window, {716, 578, 79, 25}, QStringLiteral(" 计 算"),
               QStringLiteral(":/jointrix/images/GLYPH_OK.bmp"), skin)
            ->setDefault(true);
        button(window, {593, 568, 79, 25}, QStringLiteral(" 退 出"),
               QStringLiteral(":/jointrix/images/GLYPH_EXIT.bmp"), skin)
            ->hide();

        window->show();
        hf->setText(QStringLiteral("10"));
        lf->setText(QStringLiteral("1000"));
        image->setPixmap(QPixmap::fromImage(jpeg::decode(*resource::rawData(u"JPG1")).image));
        report->clear();
        QCoreApplication::processEvents();
        delete window;
    }
}
BENCHMARK(WindowCreation_baseline)->Name("WindowCreation/baseline")->Unit(benchmark::kMicrosecond);

} // namespace
