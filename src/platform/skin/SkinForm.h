#pragma once

#include "platform/skin/SkinComponent.h"
#include "platform/skin/SkinData.h"

#include <QPointer>

// The skinned window frame: draws the window it belongs to (its parent) in the frame colours of
// a skin data store, a face behind the controls and a border line around them, and leaves the
// window to its own look when the store holds no skin. It paints over the window's background
// instead of giving it a palette: a palette of its own would reach every control inside, and
// the style caches its drawings per palette.
class TbsBusinessSkinForm : public TbsComponent
{
    Q_OBJECT
    Q_PROPERTY(QString SkinDataName READ skinDataName WRITE setSkinDataName)
    // Linked by name after loading (skin::resolveLinks); a form cannot store an object.
    Q_PROPERTY(TbsSkinData *SkinData READ skinData WRITE setSkinData STORED false)
    Q_PROPERTY(QString BorderIcons READ borderIcons WRITE setBorderIcons)

public:
    explicit TbsBusinessSkinForm(QWidget *parent = nullptr);
    ~TbsBusinessSkinForm() override;

    QString skinDataName() const { return m_skinDataName; }
    void setSkinDataName(const QString &name) { m_skinDataName = name; }
    QString borderIcons() const { return m_borderIcons; }
    void setBorderIcons(const QString &icons) { m_borderIcons = icons; }

    TbsSkinData *skinData() const { return m_skinData; }
    void setSkinData(TbsSkinData *skinData);

    // Whether the window currently wears the skin.
    bool isSkinned() const { return m_skinned; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    QString m_skinDataName;
    QString m_borderIcons;
    QPointer<TbsSkinData> m_skinData;
    bool m_skinned = false;
};
