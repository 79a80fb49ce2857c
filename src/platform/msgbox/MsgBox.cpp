#include "platform/msgbox/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace msgbox {

namespace {

Handler &installedHandler()
{
    static Handler handler;
    return handler;
}

QString styleSheetFor(const Appearance &look)
{
    QString sheet;
    if (look.face.isValid())
        sheet += QStringLiteral("QMessageBox { background-color: %1; }\n").arg(look.face.name());
    if (look.text.isValid())
        sheet += QStringLiteral("QMessageBox QLabel { color: %1; }\n").arg(look.text.name());
    QString button;
    if (look.buttonFace.isValid())
        button += QStringLiteral(" background-color: %1;").arg(look.buttonFace.name());
    if (look.buttonText.isValid())
        button += QStringLiteral(" color: %1;").arg(look.buttonText.name());
    if (look.buttonBorder.isValid()) {
        // A border in a style sheet replaces the native frame, so the padding has to come back.
        button += QStringLiteral(" border: 1px solid %1; border-radius: 2px;"
                                 " padding: 3px 12px; min-width: 64px;")
                      .arg(look.buttonBorder.name());
    }
    if (!button.isEmpty())
        sheet += QStringLiteral("QMessageBox QPushButton {") + button + QStringLiteral(" }\n");
    return sheet;
}

} // namespace

std::unique_ptr<QMessageBox> makeBox(const Request &request)
{
    const QMessageBox::Icon icon
        = request.kind == Kind::Information ? QMessageBox::Information : QMessageBox::Warning;
    auto box = std::make_unique<QMessageBox>(icon, request.title, request.text,
                                             QMessageBox::NoButton, request.owner.data());
    // Messages are plain text: a "<" in a value must not turn into markup.
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    box->setOption(QMessageBox::Option::DontUseNativeDialog);
#endif
    if (request.skinned) {
        QPushButton *ok = box->addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
        if (request.appearance) {
            box->setStyleSheet(styleSheetFor(*request.appearance));
            if (request.appearance->font)
                box->setFont(*request.appearance->font);
            if (request.appearance->buttonFont)
                ok->setFont(*request.appearance->buttonFont);
        }
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    return box;
}

void showModal(const Request &request)
{
    const std::unique_ptr<QMessageBox> box = makeBox(request);
    box->exec();
    // A closed modal box hands activation back to its owner, as the platform's own box does;
    // not every window system does that by itself.
    if (request.owner) {
        QWidget *window = request.owner->window();
        if (window->isVisible() && QApplication::activeWindow() != window)
            window->activateWindow();
    }
}

void show(const Request &request)
{
    // A copy, so a handler that replaces itself while it runs stays alive until it returns.
    const Handler handler = installedHandler();
    if (handler)
        handler(request);
    else
        showModal(request);
}

Handler setHandler(Handler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

ScopedHandler::ScopedHandler(Handler handler)
    : m_previous(setHandler(std::move(handler)))
{ }

ScopedHandler::~ScopedHandler()
{
    setHandler(std::move(m_previous));
}

} // namespace msgbox
