#include "platform/skin/SkinComponent.h"

#include <QPainter>

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

void TbsComponent::setVisible(bool visible)
{
    // Nothing makes a component appear, not even a parent being shown; only a placeholder does.
    QWidget::setVisible(m_placeholder && visible);
}

void TbsComponent::setPlaceholder(bool placeholder)
{
    m_placeholder = placeholder;
    setAttribute(Qt::WA_DontShowOnScreen, !placeholder);
    setAttribute(Qt::WA_TransparentForMouseEvents, !placeholder);
    if (placeholder && size().isEmpty())
        resize(sizeHint());
    // Shown with its form, like any control; a component has been hidden since it was made.
    QWidget::setVisible(placeholder);
}

QSize TbsComponent::sizeHint() const
{
    if (!m_placeholder)
        return QWidget::sizeHint();
    const QSize text
        = fontMetrics().size(Qt::TextSingleLine, QString::fromLatin1(metaObject()->className()));
    return {text.width() + 12, text.height() + 10};
}

void TbsComponent::paintEvent(QPaintEvent *)
{
    if (!m_placeholder)
        return;
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(box, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(box, Qt::AlignCenter, QString::fromLatin1(metaObject()->className()));
}
