#pragma once

#include "platform/msgbox/MsgBox.h"
#include "platform/skin/SkinData.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QWidget;

// The skinned message box: an information box with one button captioned "确定", which is
// both the default and the cancel button. The box is drawn with `SkinData` (background and
// text) and `CtrlSkinData` (its button) when they hold a loaded skin, plainly otherwise.
// Neither skin-data object is owned; a destroyed one simply counts as unset.
class TbsSkinMessage : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TbsSkinData *SkinData READ SkinData WRITE setSkinData)
    Q_PROPERTY(TbsSkinData *CtrlSkinData READ CtrlSkinData WRITE setCtrlSkinData)

public:
    explicit TbsSkinMessage(QObject *parent = nullptr);
    ~TbsSkinMessage() override;

    TbsSkinData *SkinData() const { return m_skinData; }
    void setSkinData(TbsSkinData *skinData) { m_skinData = skinData; }
    TbsSkinData *CtrlSkinData() const { return m_ctrlSkinData; }
    void setCtrlSkinData(TbsSkinData *skinData) { m_ctrlSkinData = skinData; }

    static QString defaultTitle() { return QStringLiteral("提示信息"); }

    // The look taken from the two skin-data objects; none when neither holds a loaded skin.
    std::optional<msgbox::Appearance> appearance() const;

    // Shows `text` modally through msgbox::show() and returns once the box is closed.
    void showMessage(const QString &text, QWidget *owner = nullptr,
                     const QString &title = defaultTitle()) const;

private:
    QPointer<TbsSkinData> m_skinData;
    QPointer<TbsSkinData> m_ctrlSkinData;
};
