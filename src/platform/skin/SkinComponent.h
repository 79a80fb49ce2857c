#pragma once

#include <QWidget>

// A component that a stored form description creates like a control but that is never drawn:
// the skin data store, the skinned message box and the skinned window frame. Qt's form loader
// builds widgets only, so these are widgets that stay hidden, take no room, no focus and no
// input.
class TbsComponent : public QWidget
{
    Q_OBJECT

public:
    explicit TbsComponent(QWidget *parent = nullptr);
    ~TbsComponent() override;

    void setVisible(bool visible) override;
};
