#include "platform/skin/SkinForm.h"

#include "platform/skin/SkinData.h"

#include <QEvent>
#include <QPainter>

TbsBusinessSkinForm::TbsBusinessSkinForm(QWidget *parent)
    : TbsComponent(parent)
{
    if (parent)
        parent->installEventFilter(this);
}

TbsBusinessSkinForm::~TbsBusinessSkinForm() = default;

void TbsBusinessSkinForm::setSkinData(TbsSkinData *skinData)
{
    if (m_skinData)
        disconnect(m_skinData, nullptr, this, nullptr);
    m_skinData = skinData;
    if (m_skinData)
        connect(m_skinData, &TbsSkinData::skinChanged, this, &TbsBusinessSkinForm::apply);
    apply();
}

void TbsBusinessSkinForm::apply()
{
    const TbsSkinData *store = m_skinData.data();
    m_skinned = store && store->isLoaded();
    if (QWidget *window = parentWidget())
        window->update();
}

bool TbsBusinessSkinForm::eventFilter(QObject *watched, QEvent *event)
{
    // The window's own background is filled before its paint event arrives here; the frame
    // paints over it, and the window's controls are drawn over the frame afterwards.
    if (m_skinned && event->type() == QEvent::Paint && watched == parentWidget()) {
        const TbsSkinData *store = m_skinData.data();
        if (const TbsSkin *skin = store ? store->skin() : nullptr) {
            auto *window = static_cast<QWidget *>(watched);
            QPainter painter(window);
            const QRect outer = window->rect();
            painter.fillRect(outer, skin->frame.face);
            // A line of the border colour, then two of the caption colour.
            painter.setPen(skin->frame.border);
            painter.drawRect(outer.adjusted(0, 0, -1, -1));
            painter.setPen(skin->frame.caption);
            painter.drawRect(outer.adjusted(1, 1, -2, -2));
            painter.drawRect(outer.adjusted(2, 2, -3, -3));
        }
    }
    return TbsComponent::eventFilter(watched, event);
}
