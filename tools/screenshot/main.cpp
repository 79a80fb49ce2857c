// jointrix-screenshot: renders the calculator window at its designed size after the default
// calculation, as the README shows it, optionally with a skin file loaded.
//
//     jointrix-screenshot OUTPUT.png [--skin SKIN.ini] [--form 0..3]

#include "platform/skin/SkinButton.h"
#include "platform/skin/SkinData.h"
#include "ui/U_Main.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args[1].startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr,
                     "usage: jointrix-screenshot OUTPUT.png [--skin SKIN.ini] [--form N]\n");
        return 2;
    }
    QString skin;
    int form = 0;
    for (int i = 2; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--skin"))
            skin = args[i + 1];
        else if (args[i] == QLatin1String("--form"))
            form = args[i + 1].toInt();
    }

    Tfrm_Jointrix window;
    if (!skin.isEmpty() && !window.bsSkinData1->loadFromFile(skin)) {
        std::fprintf(stderr, "jointrix-screenshot: cannot load skin %s\n", qPrintable(skin));
        return 1;
    }
    window.move(0, 0);
    window.resize(824, 616);
    window.show();
    if (form != 0) {
        window.cbb_CalType->setCurrentIndex(form);
        window.cbb_CalTypeSelect(window.cbb_CalType);
    }
    QCoreApplication::processEvents();
    window.BtnOk->click();
    QCoreApplication::processEvents();
    if (!window.grab().save(args[1])) {
        std::fprintf(stderr, "jointrix-screenshot: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
