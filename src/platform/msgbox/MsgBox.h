#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QMessageBox;

// Every message box of the module goes through show(). The default handler runs a real modal
// box; a test installs its own handler (a ScopedHandler, such as the tests' Recorder) to see
// what would have been shown without entering a modal loop.
namespace msgbox {

enum class Kind : quint8 {
    Information, // information icon
    Exclamation, // exclamation icon
};

// Colours and fonts of a skinned box. Invalid colours and unset fonts keep the plain look for
// that part.
struct Appearance
{
    QColor face; // box background
    QColor text; // message text
    QColor buttonFace; // push-button background
    QColor buttonText; // push-button caption
    QColor buttonBorder; // push-button outline
    std::optional<QFont> font;
    std::optional<QFont> buttonFont;
};

struct Request
{
    QString text;
    QString title;
    Kind kind = Kind::Exclamation;
    // False: the platform's plain box, one standard OK button. True: the skinning library's
    // box, one button captioned "确定" that is both default and cancel button.
    bool skinned = false;
    QPointer<QWidget> owner;
    // The skin-data object a skinned box was asked to draw with, if any, and the look taken
    // from it when it holds a loaded skin.
    QPointer<QObject> skinData;
    std::optional<Appearance> appearance;
};

using Handler = std::function<void(const Request &)>;

// Shows one message through the installed handler; blocks until it is closed when the
// default handler runs.
void show(const Request &request);

// The default handler: a modal box built by makeBox(), run with exec().
void showModal(const Request &request);

// Builds, but does not show, the box the default handler runs: application modal, plain text,
// never a native dialog, parented to the request's owner.
std::unique_ptr<QMessageBox> makeBox(const Request &request);

// Installs `handler` (an empty one means the default) and returns the one it replaces.
Handler setHandler(Handler handler);

// Installs a handler for its lifetime and puts the previous one back afterwards.
class ScopedHandler
{
public:
    explicit ScopedHandler(Handler handler);
    ~ScopedHandler();
    ScopedHandler(const ScopedHandler &) = delete;
    ScopedHandler &operator=(const ScopedHandler &) = delete;

private:
    Handler m_previous;
};

} // namespace msgbox
