#pragma once

#include "platform/skin/SkinData.h"

#include <QPixmap>
#include <QPointer>
#include <QPushButton>

// A push button with a glyph, drawn with the skin of a skin data store when one is loaded and
// in the plain look otherwise. The glyph is a strip of NumGlyphs images side by side, the first
// for the normal look and the second for the disabled look; the colour of its bottom-left pixel
// is drawn transparent.
class TbsSkinButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QPixmap Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(bool Cancel READ isCancel WRITE setCancel)
    Q_PROPERTY(QString SkinDataName READ skinDataName WRITE setSkinDataName)
    // Linked by name after loading (skin::resolveLinks); a form cannot store an object.
    Q_PROPERTY(TbsSkinData *SkinData READ skinData WRITE setSkinData STORED false)
    Q_PROPERTY(QString SkinDataElement READ skinDataElement WRITE setSkinDataElement)
    Q_PROPERTY(bool UseSkinFont READ useSkinFont WRITE setUseSkinFont)

public:
    explicit TbsSkinButton(QWidget *parent = nullptr);
    ~TbsSkinButton() override;

    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &glyph);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
    int spacing() const { return m_spacing; }
    void setSpacing(int pixels);
    bool isCancel() const { return m_cancel; }
    void setCancel(bool cancel) { m_cancel = cancel; }
    QString skinDataName() const { return m_skinDataName; }
    void setSkinDataName(const QString &name) { m_skinDataName = name; }
    QString skinDataElement() const { return m_skinDataElement; }
    void setSkinDataElement(const QString &name) { m_skinDataElement = name; }
    bool useSkinFont() const { return m_useSkinFont; }
    void setUseSkinFont(bool use);

    TbsSkinData *skinData() const { return m_skinData; }
    void setSkinData(TbsSkinData *skinData);

    // The normal and the disabled image cut from the glyph, with their transparent colour.
    QPixmap normalImage() const { return m_normal; }
    QPixmap disabledImage() const { return m_disabled; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void cutGlyph();
    void applySkinFont();

    QPixmap m_glyph;
    QPixmap m_normal;
    QPixmap m_disabled;
    int m_numGlyphs = 1;
    int m_spacing = 4;
    bool m_cancel = false;
    bool m_useSkinFont = true;
    bool m_hovered = false;
    QString m_skinDataName;
    QString m_skinDataElement = QStringLiteral("button");
    QPointer<TbsSkinData> m_skinData;
    QFont m_ownFont;
};
