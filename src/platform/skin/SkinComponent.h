#pragma once

#include <QWidget>

// A component that a stored form description creates like a control but that is never drawn:
// the skin data store, the skinned message box and the skinned window frame. Qt's form loader
// builds widgets only, so these are widgets that stay hidden, take no room, no focus and no
// input.
//
// A form designer needs them the other way round: something on the form to pick, move and
// edit. As a placeholder (setPlaceholder) a component shows as a small box with its class name
// and takes the mouse; nothing else about it changes.
class TbsComponent : public QWidget
{
    Q_OBJECT

public:
    explicit TbsComponent(QWidget *parent = nullptr);
    ~TbsComponent() override;

    void setVisible(bool visible) override;

    bool isPlaceholder() const { return m_placeholder; }
    void setPlaceholder(bool placeholder);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_placeholder = false;
};
