#pragma once

#include <QColor>
#include <QGroupBox>

// A group box with a background colour of its own. It paints the colour itself rather than
// through a palette: a palette of its own would hand every control inside it a palette of its
// own too, and the style then caches drawings per palette, window after window.
class TGroupBox : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QColor Color READ color WRITE setColor)

public:
    explicit TGroupBox(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};
