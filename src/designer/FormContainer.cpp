#include "designer/FormContainer.h"

#include <QWidget>

namespace {

// Named as the window so that Designer reads and writes the root's class unchanged; it lives in
// this file alone, apart from the real class.
class Tfrm_Jointrix final : public QWidget
{
    Q_OBJECT

public:
    explicit Tfrm_Jointrix(QWidget *parent = nullptr)
        : QWidget(parent)
    {
        // The window's own background.
        setBackgroundRole(QPalette::Button);
        setAutoFillBackground(true);
    }
};

} // namespace

QWidget *CreateFormContainer(QWidget *parent)
{
    return new Tfrm_Jointrix(parent);
}

#include "FormContainer.moc"
