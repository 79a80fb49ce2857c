#include "Diagrams.h"

#include <QFont>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace pictures {

namespace {

constexpr int Size = 200;

const QColor Ink(0, 0, 0);
const QColor Plate(232, 232, 232);
const QColor Symbol(0, 150, 0);

QFont labelFont(qreal pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(qRound(pixels));
    font.setItalic(true);
    return font;
}

void drawPlate(QPainter &p, const QRectF &plate)
{
    p.setPen(QPen(Ink, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Plate);
    p.drawRect(plate);
}

void drawWeld(QPainter &p, const QPainterPath &weld)
{
    p.setPen(QPen(Ink, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Ink);
    p.drawPath(weld);
}

// A fillet weld in a corner: the right angle at `corner`, legs `leg` long along the two
// directions given; concave bulges the face inwards.
QPainterPath fillet(QPointF corner, QPointF along1, QPointF along2, qreal leg, bool concave)
{
    const QPointF a = corner + along1 * leg;
    const QPointF b = corner + along2 * leg;
    QPainterPath path(corner);
    path.lineTo(a);
    if (concave)
        path.quadTo(corner + (along1 + along2) * leg * 0.3, b);
    else
        path.lineTo(b);
    path.closeSubpath();
    return path;
}

void drawArrowHead(QPainter &p, QPointF tip, QPointF from, const QColor &colour, qreal length,
                   qreal halfWidth)
{
    const QPointF d = tip - from;
    const qreal l = std::hypot(d.x(), d.y());
    if (l <= 0)
        return;
    const QPointF u = d / l;
    const QPointF n(-u.y(), u.x());
    const QPointF base = tip - u * length;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({tip, base + n * halfWidth, base - n * halfWidth}));
}

// A load arrow from `from` to `to`, with its label beside the head.
void drawForce(QPainter &p, QPointF from, QPointF to, const QString &label, QPointF labelAt)
{
    const QPointF d = to - from;
    const qreal l = std::hypot(d.x(), d.y());
    const QPointF u = d / l;
    p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, to - u * 8);
    drawArrowHead(p, to, from, Ink, 10, 4);
    p.setFont(labelFont(16));
    p.setPen(Ink);
    p.drawText(labelAt, label);
}

enum class WeldKind { Fillet, Butt };

// The weld symbol: leaders with arrow heads from each weld to the start of the reference
// line, the solid reference line with the dashed identification line under it, the symbol
// on the solid line and the size "hf" before it.
void drawWeldSymbol(QPainter &p, const QList<QPointF> &welds, QPointF start, qreal length,
                    WeldKind kind)
{
    const QPen line(Symbol, 1.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    for (const QPointF &weld : welds) {
        const QPointF d = weld - start;
        const qreal l = std::hypot(d.x(), d.y());
        p.setPen(line);
        p.drawLine(start, weld - d / l * 6);
        drawArrowHead(p, weld, start, Symbol, 8, 3);
    }
    p.setPen(line);
    p.drawLine(start, start + QPointF(length, 0));
    QPen dashed(Symbol, 1.0, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({4, 3});
    p.setPen(dashed);
    p.drawLine(start + QPointF(0, 4.5), start + QPointF(length, 4.5));

    // Symbol, two thirds along the line.
    const qreal sx = start.x() + length * 0.62;
    const qreal sy = start.y();
    p.setPen(QPen(Symbol, 1.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    if (kind == WeldKind::Fillet) {
        p.drawPolygon(QPolygonF({QPointF(sx, sy), QPointF(sx, sy - 10), QPointF(sx + 10, sy)}));
    } else {
        // Square butt: two upright strokes.
        p.drawLine(QPointF(sx + 1, sy), QPointF(sx + 1, sy - 10));
        p.drawLine(QPointF(sx + 6, sy), QPointF(sx + 6, sy - 10));
    }

    // "hf": h with a subscript f, left of the symbol.
    QFont main = labelFont(15);
    QFont sub = labelFont(10);
    p.setPen(Symbol);
    p.setFont(main);
    const qreal hx = sx - 20;
    const qreal baseline = sy - 3;
    p.drawText(QPointF(hx, baseline), QStringLiteral("h"));
    p.setFont(sub);
    p.drawText(QPointF(hx + 7.5, baseline + 2), QStringLiteral("f"));
}

void drawTJoint(QPainter &p, bool bothSides)
{
    const QRectF base(15, 132, 170, 30);
    const QRectF upright(80, 32, 30, 100);
    drawPlate(p, base);
    drawPlate(p, upright);

    const qreal leg = 17;
    drawWeld(
        p, fillet(QPointF(upright.right(), base.top()), QPointF(1, 0), QPointF(0, -1), leg, false));
    if (bothSides)
        drawWeld(p,
                 fillet(QPointF(upright.left(), base.top()), QPointF(-1, 0), QPointF(0, -1), leg,
                        false));

    drawForce(p, QPointF(91, 122), QPointF(91, 44), QStringLiteral("F"), QPointF(95, 58));
    drawForce(p, QPointF(26, 154), QPointF(70, 154), QStringLiteral("V"), QPointF(38, 149));

    const QPointF weldFace(upright.right() + leg * 0.5, base.top() - leg * 0.5);
    drawWeldSymbol(p, {weldFace + QPointF(1, -1)}, QPointF(136, 80), 54, WeldKind::Fillet);
}

void drawButt(QPainter &p)
{
    const QRectF left(12, 96, 84, 30);
    const QRectF right(104, 96, 84, 30);
    drawPlate(p, left);
    drawPlate(p, right);

    // A square butt weld filling the gap between the plate ends, slightly crowned on both faces.
    QPainterPath weld(QPointF(96, left.top()));
    weld.quadTo(QPointF(100, left.top() - 3), QPointF(104, left.top()));
    weld.lineTo(QPointF(104, left.bottom()));
    weld.quadTo(QPointF(100, left.bottom() + 3), QPointF(96, left.bottom()));
    weld.closeSubpath();
    drawWeld(p, weld);

    drawForce(p, QPointF(70, 117), QPointF(22, 117), QStringLiteral("F"), QPointF(40, 112));
    drawForce(p, QPointF(130, 117), QPointF(178, 117), QStringLiteral("F"), QPointF(152, 112));
    drawForce(p, QPointF(100, 180), QPointF(100, 132), QStringLiteral("V"), QPointF(106, 152));

    drawWeldSymbol(p, {QPointF(102, 92)}, QPointF(128, 52), 58, WeldKind::Butt);
}

void drawLap(QPainter &p)
{
    const QRectF lower(12, 122, 118, 26);
    const QRectF upper(70, 96, 118, 26);
    drawPlate(p, lower);
    drawPlate(p, upper);

    const qreal leg = 18;
    // At the left end of the overlap: the upper plate's end face on the lower plate.
    drawWeld(p,
             fillet(QPointF(upper.left(), lower.top()), QPointF(-1, 0), QPointF(0, -1), leg, true));
    // At the right end: the lower plate's end face under the upper plate.
    drawWeld(
        p, fillet(QPointF(lower.right(), upper.bottom()), QPointF(1, 0), QPointF(0, 1), leg, true));

    drawForce(p, QPointF(60, 141), QPointF(20, 141), QStringLiteral("F"), QPointF(34, 137));
    drawForce(p, QPointF(140, 115), QPointF(180, 115), QStringLiteral("F"), QPointF(154, 111));

    const QPointF leftWeld(upper.left() - 5, lower.top() - 5);
    const QPointF rightWeld(lower.right() + 5, upper.bottom() + 5);
    drawWeldSymbol(p, {leftWeld, rightWeld}, QPointF(104, 58), 62, WeldKind::Fillet);
}

} // namespace

QImage diagram(Joint joint)
{
    QImage image(Size, Size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    switch (joint) {
    case Joint::SingleFillet:
        drawTJoint(p, false);
        break;
    case Joint::DoubleFillet:
        drawTJoint(p, true);
        break;
    case Joint::Butt:
        drawButt(p);
        break;
    case Joint::Lap:
        drawLap(p);
        break;
    }
    p.end();
    return image;
}

} // namespace pictures
