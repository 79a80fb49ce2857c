#include "platform/skin/SkinButton.h"

#include "platform/skin/SkinData.h"

#include <QBitmap>
#include <QEnterEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

TbsSkinButton::TbsSkinButton(QWidget *parent)
    : QPushButton(parent)
{ }

TbsSkinButton::~TbsSkinButton() = default;

void TbsSkinButton::setGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    cutGlyph();
}

void TbsSkinButton::setNumGlyphs(int count)
{
    m_numGlyphs = std::clamp(count, 1, 4);
    cutGlyph();
}

void TbsSkinButton::setSpacing(int pixels)
{
    m_spacing = pixels;
    updateGeometry();
    update();
}

void TbsSkinButton::setUseSkinFont(bool use)
{
    m_useSkinFont = use;
    applySkinFont();
}

void TbsSkinButton::setSkinData(TbsSkinData *skinData)
{
    if (m_skinData)
        disconnect(m_skinData, nullptr, this, nullptr);
    m_skinData = skinData;
    if (m_skinData) {
        connect(m_skinData, &TbsSkinData::skinChanged, this, [this] {
            applySkinFont();
            update();
        });
    }
    applySkinFont();
    update();
}

void TbsSkinButton::applySkinFont()
{
    const TbsSkinData *store = m_skinData.data();
    const TbsSkin *skin = store ? store->skin() : nullptr;
    if (m_useSkinFont && skin && skin->button.font)
        setFont(*skin->button.font);
}

void TbsSkinButton::cutGlyph()
{
    m_normal = QPixmap();
    m_disabled = QPixmap();
    if (!m_glyph.isNull()) {
        QImage strip = m_glyph.toImage().convertToFormat(QImage::Format_ARGB32);
        // The glyph's own background, taken from its bottom-left pixel, is see-through.
        const QRgb transparent = strip.pixel(0, strip.height() - 1);
        for (int y = 0; y < strip.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(strip.scanLine(y));
            for (int x = 0; x < strip.width(); ++x) {
                if (line[x] == transparent)
                    line[x] = qRgba(0, 0, 0, 0);
            }
        }
        const int width = strip.width() / m_numGlyphs;
        m_normal = QPixmap::fromImage(strip.copy(0, 0, width, strip.height()));
        m_disabled = m_numGlyphs > 1
            ? QPixmap::fromImage(strip.copy(width, 0, width, strip.height()))
            : m_normal;
    }
    updateGeometry();
    update();
}

QSize TbsSkinButton::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, this->text());
    const int glyphWidth = m_normal.isNull() ? 0 : m_normal.width() + m_spacing;
    return QSize(text.width() + glyphWidth + 16, std::max(text.height(), m_normal.height()) + 8);
}

void TbsSkinButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QPushButton::enterEvent(event);
}

void TbsSkinButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QPushButton::leaveEvent(event);
}

void TbsSkinButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const TbsSkinData *store = m_skinData.data();
    const TbsSkin *skin = store ? store->skin() : nullptr;

    QColor textColor = option.palette.color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                            QPalette::ButtonText);
    if (skin) {
        const TbsButtonSkin &look = skin->button;
        const QColor face = isDown() ? look.downFace : m_hovered ? look.hotFace : look.face;
        painter.fillRect(rect(), face);
        painter.setPen(look.border);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        if (hasFocus() || isDefault())
            painter.drawRect(rect().adjusted(1, 1, -2, -2));
        textColor = isEnabled() ? look.text : look.disabledText;
    } else {
        painter.drawControl(QStyle::CE_PushButtonBevel, option);
    }

    // Glyph, spacing and caption as one centred row.
    const QPixmap image = isEnabled() ? m_normal : m_disabled;
    const QString caption = text();
    const int textWidth = fontMetrics().horizontalAdvance(caption);
    const int glyphWidth = image.isNull() ? 0 : image.width() + (caption.isEmpty() ? 0 : m_spacing);
    const int shift = isDown() ? 1 : 0;
    int x = (width() - glyphWidth - textWidth) / 2 + shift;
    if (!image.isNull()) {
        painter.drawPixmap(x, (height() - image.height()) / 2 + shift, image);
        x += glyphWidth;
    }
    painter.setPen(textColor);
    painter.drawText(QRect(x, shift, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft,
                     caption);

    if (!skin && hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
