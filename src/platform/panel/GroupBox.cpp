#include "platform/panel/GroupBox.h"

#include <QPainter>

TGroupBox::TGroupBox(QWidget *parent)
    : QGroupBox(parent)
{ }

void TGroupBox::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void TGroupBox::paintEvent(QPaintEvent *event)
{
    if (m_color.isValid()) {
        QPainter painter(this);
        painter.fillRect(rect(), m_color);
    }
    QGroupBox::paintEvent(event);
}
