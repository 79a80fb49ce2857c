#include "platform/skin/SkinComponent.h"

TbsComponent::TbsComponent(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DontShowOnScreen);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    QWidget::setVisible(false);
}

TbsComponent::~TbsComponent() = default;

void TbsComponent::setVisible(bool)
{
    // Nothing makes a component appear, not even a parent being shown.
    QWidget::setVisible(false);
}
