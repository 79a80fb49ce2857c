#include "platform/fonts/Fonts.h"

#include <QFont>
#include <QStringList>

namespace fonts {

void installSubstitutes()
{
    static const bool installed = [] {
        const QStringList song
            = {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
               QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Zen Hei")};
        QFont::insertSubstitutions(QStringLiteral("宋体"), song);
        QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
        QFont::insertSubstitutions(
            QStringLiteral("Times New Roman"),
            {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace fonts
