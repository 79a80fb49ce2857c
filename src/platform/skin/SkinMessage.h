#pragma once

#include "platform/msgbox/MsgBox.h"
#include "platform/skin/SkinData.h"

#include "platform/skin/SkinComponent.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QWidget;

// The skinned message box: an information box with one button captioned "确定", which is
// both the default and the cancel button. The box is drawn with `SkinData` (background and
// text) and `CtrlSkinData` (its button) when they hold a loaded skin, plainly otherwise.
// Neither skin-data object is owned; a destroyed one simply counts as unset.
class TbsSkinMessage : public TbsComponent
{
    Q_OBJECT
    Q_PROPERTY(TbsSkinData *SkinData READ SkinData WRITE setSkinData)
    Q_PROPERTY(TbsSkinData *CtrlSkinData READ CtrlSkinData WRITE setCtrlSkinData)
    // Stored settings of a form description. The two names link the skin-data objects after
    // loading; the element names say which parts of a skin the box and its button take.
    Q_PROPERTY(QString SkinDataName MEMBER m_skinDataName)
    Q_PROPERTY(QString CtrlSkinDataName MEMBER m_ctrlSkinDataName)
    Q_PROPERTY(QString ButtonSkinDataName MEMBER m_buttonSkinDataName)
    Q_PROPERTY(QString MessageLabelSkinDataName MEMBER m_messageLabelSkinDataName)
    // With UseSkinFont false the box shows its text and button in these fonts, not the skin's.
    Q_PROPERTY(bool UseSkinFont MEMBER m_useSkinFont)
    Q_PROPERTY(QFont DefaultFont MEMBER m_defaultFont)
    Q_PROPERTY(QFont DefaultButtonFont MEMBER m_defaultButtonFont)
    // The box always appears at once and opaque; these are kept for the description's sake.
    Q_PROPERTY(bool AlphaBlend MEMBER m_alphaBlend)
    Q_PROPERTY(bool ShowAnimation MEMBER m_showAnimation)

public:
    explicit TbsSkinMessage(QWidget *parent = nullptr);
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
    QString m_skinDataName;
    QString m_ctrlSkinDataName;
    QString m_buttonSkinDataName = QStringLiteral("button");
    QString m_messageLabelSkinDataName = QStringLiteral("stdlabel");
    bool m_useSkinFont = true;
    QFont m_defaultFont;
    QFont m_defaultButtonFont;
    bool m_alphaBlend = false;
    bool m_showAnimation = false;
};
