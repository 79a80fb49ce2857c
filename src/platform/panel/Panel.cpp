#include "platform/panel/Panel.h"

#include <QPainter>
#include <QPalette>

TPanel::TPanel(QWidget *parent)
    : QWidget(parent)
    , m_color(palette().color(QPalette::Button))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateMargins();
}

void TPanel::setBevelOuter(TBevelCut cut)
{
    m_bevelOuter = cut;
    updateMargins();
}

void TPanel::setBevelInner(TBevelCut cut)
{
    m_bevelInner = cut;
    updateMargins();
}

void TPanel::setBevelWidth(int width)
{
    m_bevelWidth = std::max(width, 0);
    updateMargins();
}

void TPanel::setBorderWidth(int width)
{
    m_borderWidth = std::max(width, 0);
    updateMargins();
}

void TPanel::setColor(const QColor &color)
{
    m_color = color;
    update();
}

int TPanel::frameWidth() const
{
    return (m_bevelOuter != bvNone ? m_bevelWidth : 0) + m_borderWidth
        + (m_bevelInner != bvNone ? m_bevelWidth : 0);
}

void TPanel::updateMargins()
{
    const int w = frameWidth();
    setContentsMargins(w, w, w, w);
    update();
}

namespace {

// A bevel of `width` pixels along the inside of `rect`: light on the top and left edges and dark
// on the bottom and right for a raised cut, the other way round for a lowered one.
void drawBevel(QPainter &painter, QRect &rect, TPanel::TBevelCut cut, int width,
               const QPalette &palette)
{
    if (cut == TPanel::bvNone)
        return;
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    const QColor topLeft = cut == TPanel::bvRaised ? light : dark;
    const QColor bottomRight = cut == TPanel::bvRaised ? dark : light;
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
        painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
        painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
        painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}

} // namespace

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect rect = this->rect();
    painter.fillRect(rect, m_color);
    drawBevel(painter, rect, m_bevelOuter, m_bevelWidth, palette());
    rect.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    drawBevel(painter, rect, m_bevelInner, m_bevelWidth, palette());
}
