#pragma once

#include <QColor>
#include <QWidget>

// A panel with bevels: an outer bevel, a flat border of the panel's colour and an inner bevel,
// each of its own width, drawn around the client area, which is what is left inside.
class TPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(TBevelCut BevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(TBevelCut BevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(QColor Color READ color WRITE setColor)

public:
    enum TBevelCut : quint8 { bvNone, bvLowered, bvRaised };
    Q_ENUM(TBevelCut)

    explicit TPanel(QWidget *parent = nullptr);

    TBevelCut bevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(TBevelCut cut);
    TBevelCut bevelInner() const { return m_bevelInner; }
    void setBevelInner(TBevelCut cut);
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);

    // Pixels the frames take on each side.
    int frameWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateMargins();

    TBevelCut m_bevelOuter = bvRaised;
    TBevelCut m_bevelInner = bvNone;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    QColor m_color;
};
