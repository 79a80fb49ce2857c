#pragma once

#include "platform/skin/SkinComponent.h"
#include <QColor>
#include <QFont>

#include <QObject>
#include <QString>

#include <optional>

// Colours (and optionally a font) of each skinned element. A loaded skin always has every
// colour valid; the fonts are optional.
struct TbsFrameSkin
{
    QColor caption; // title bar of the active window
    QColor captionText; // title text of the active window
    QColor inactiveCaption; // title bar of an inactive window
    QColor inactiveCaptionText; // title text of an inactive window
    QColor border; // outer frame line
    QColor face; // client area background
    std::optional<QFont> font; // title font
};

struct TbsButtonSkin
{
    QColor face; // normal background
    QColor text; // caption
    QColor border; // outline
    QColor hotFace; // background under the mouse
    QColor downFace; // background while pressed
    QColor disabledText; // caption of a disabled button
    std::optional<QFont> font;
};

struct TbsMessageSkin
{
    QColor face; // box background
    QColor text; // message text
    std::optional<QFont> font;
};

struct TbsSkin
{
    QString name;
    TbsFrameSkin frame;
    TbsButtonSkin button;
    TbsMessageSkin message;
};

// The skin data store: holds one loaded skin or none. Without a skin every skinned part draws
// in its plain look. The file format is an INI file, described in docs/skin.md.
class TbsSkinData : public TbsComponent
{
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName NOTIFY skinChanged)
    Q_PROPERTY(bool loaded READ isLoaded NOTIFY skinChanged)

public:
    explicit TbsSkinData(QWidget *parent = nullptr);
    ~TbsSkinData() override;

    // Loads the skin at `path`. A file that is missing, unreadable, malformed or holds an
    // invalid value leaves the store empty and returns false; the previous skin is dropped
    // either way.
    bool loadFromFile(const QString &path);
    void clear();

    bool isLoaded() const { return m_skin.has_value(); }
    // The loaded skin, or nullptr.
    const TbsSkin *skin() const { return m_skin ? &*m_skin : nullptr; }
    // The path of the loaded skin; empty when none is loaded.
    QString fileName() const { return m_fileName; }

    // Reads a skin file without touching any store. On failure `error`, when given, says why.
    static std::optional<TbsSkin> readFile(const QString &path, QString *error = nullptr);

Q_SIGNALS:
    void skinChanged();

private:
    std::optional<TbsSkin> m_skin;
    QString m_fileName;
};
