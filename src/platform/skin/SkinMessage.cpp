#include "platform/skin/SkinMessage.h"

#include <QWidget>

TbsSkinMessage::TbsSkinMessage(QWidget *parent)
    : TbsComponent(parent)
{ }

TbsSkinMessage::~TbsSkinMessage() = default;

std::optional<msgbox::Appearance> TbsSkinMessage::appearance() const
{
    const auto skinOf = [](const TbsSkinData *store) -> const TbsSkin * {
        return store ? store->skin() : nullptr;
    };
    const TbsSkin *box = skinOf(m_skinData.data());
    const TbsSkin *controls = skinOf(m_ctrlSkinData.data());
    if (!box && !controls)
        return std::nullopt;
    msgbox::Appearance look;
    if (box) {
        look.face = box->message.face;
        look.text = box->message.text;
        look.font = box->message.font;
    }
    if (controls) {
        look.buttonFace = controls->button.face;
        look.buttonText = controls->button.text;
        look.buttonBorder = controls->button.border;
        look.buttonFont = controls->button.font;
    }
    if (!m_useSkinFont) {
        look.font = m_defaultFont;
        look.buttonFont = m_defaultButtonFont;
    }
    return look;
}

void TbsSkinMessage::showMessage(const QString &text, QWidget *owner, const QString &title) const
{
    msgbox::Request request;
    request.text = text;
    request.title = title;
    request.kind = msgbox::Kind::Information;
    request.skinned = true;
    request.owner = owner;
    request.skinData = m_skinData ? m_skinData.data() : m_ctrlSkinData.data();
    request.appearance = appearance();
    msgbox::show(request);
}
