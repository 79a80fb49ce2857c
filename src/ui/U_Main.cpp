#include "ui/U_Main.h"

#include "calc/U_Class.h"
#include "calc/Weld.h"
#include "controls/LxEdit.h"
#include "platform/anchors/Anchors.h"
#include "platform/crashlog/CrashLog.h"
#include "platform/fonts/Fonts.h"
#include "platform/jpeg/Jpeg.h"
#include "platform/numtext/NumText.h"
#include "platform/panel/GroupBox.h"
#include "platform/panel/Panel.h"
#include "platform/resource/Resource.h"
#include "platform/skin/SkinButton.h"
#include "platform/skin/SkinData.h"
#include "platform/skin/SkinForm.h"
#include "platform/skin/SkinLinks.h"
#include "platform/skin/SkinMessage.h"
#include "sheet/Sheet.h"
#include "ui/FormLoader.h"
#include "ui/RichEdit.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include <exception>
#include <stdexcept>

namespace {

template<typename T>
T *expect(QWidget *form, const char *name, const char *className, QString &missing)
{
    auto *object = form->findChild<T *>(QLatin1String(name));
    if (!object || !object->inherits(className))
        missing += QLatin1String(" ") + QLatin1String(name) + QLatin1String(" (")
            + QLatin1String(className) + QLatin1String(")");
    return object;
}

// Errors must not cross Qt's event loop: a handler's error ends at its boundary and goes to
// the module's general error handling.
template<typename Handler> void guarded(Handler &&handler)
{
    try {
        handler();
    } catch (...) {
        crashlog::handle(std::current_exception());
    }
}

} // namespace

Tfrm_Jointrix::Tfrm_Jointrix(QWidget *parent)
    : QWidget(parent)
{
    fonts::installSubstitutes();
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    loadDescription();
    connectHandlers();
    FormCreate(this);
}

Tfrm_Jointrix::~Tfrm_Jointrix() = default;

void Tfrm_Jointrix::loadDescription()
{
    const QString loaderErrors = buildFromDescription();
    bindComponents(loaderErrors);
    // Links that a description can only make by name.
    const QStringList unresolved = skin::resolveLinks(this);
    if (!unresolved.isEmpty())
        throw std::runtime_error("the form description TFRM_JOINTRIX names unknown skin data: "
                                 + unresolved.join(QLatin1String(", ")).toStdString());
    anchors::Keeper::attachTree(this);
}

QString Tfrm_Jointrix::buildFromDescription()
{
    const std::optional<QByteArray> description = resource::rawData(u"TFRM_JOINTRIX");
    if (!description)
        throw std::runtime_error("the form description TFRM_JOINTRIX is missing");
    QByteArray bytes = *description;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);

    FormLoader &loader = FormLoader::shared();
    QWidget *root = loader.load(&buffer, this, QStringLiteral("Tfrm_Jointrix"));
    if (root != this) {
        throw std::runtime_error("the form description TFRM_JOINTRIX cannot be built: "
                                 + loader.errorString().toStdString());
    }
    // A description that builds may still have lost parts on the way; the text explains a
    // component found missing below.
    return loader.errorString();
}

void Tfrm_Jointrix::bindComponents(const QString &loaderErrors)
{
    QString missing;
    GroupBox2 = expect<QGroupBox>(this, "GroupBox2", "TGroupBox", missing);
    Label1 = expect<QLabel>(this, "Label1", "QLabel", missing);
    Label2 = expect<QLabel>(this, "Label2", "QLabel", missing);
    Label7 = expect<QLabel>(this, "Label7", "QLabel", missing);
    Label8 = expect<QLabel>(this, "Label8", "QLabel", missing);
    edt_hf = expect<TLxEdit>(this, "edt_hf", "TLxEdit", missing);
    edt_Lf = expect<TLxEdit>(this, "edt_Lf", "TLxEdit", missing);
    cbb_Grade = expect<QComboBox>(this, "cbb_Grade", "QComboBox", missing);
    cbb_Style = expect<QComboBox>(this, "cbb_Style", "QComboBox", missing);
    RxRichEdit1 = expect<TRxRichEdit>(this, "RxRichEdit1", "TRxRichEdit", missing);
    Panel1 = expect<TPanel>(this, "Panel1", "TPanel", missing);
    Image = expect<QLabel>(this, "Image", "QLabel", missing);
    BtnOk = expect<TbsSkinButton>(this, "BtnOk", "TbsSkinButton", missing);
    BitBtn2 = expect<TbsSkinButton>(this, "BitBtn2", "TbsSkinButton", missing);
    bsSkinMessage1 = expect<TbsSkinMessage>(this, "bsSkinMessage1", "TbsSkinMessage", missing);
    bsSkinData1 = expect<TbsSkinData>(this, "bsSkinData1", "TbsSkinData", missing);
    bsBusinessSkinForm1
        = expect<TbsBusinessSkinForm>(this, "bsBusinessSkinForm1", "TbsBusinessSkinForm", missing);
    cbb_CalType = expect<QComboBox>(this, "cbb_CalType", "QComboBox", missing);
    Label9 = expect<QLabel>(this, "Label9", "QLabel", missing);
    if (!missing.isEmpty()) {
        throw std::runtime_error(
            "the form description TFRM_JOINTRIX lacks" + missing.toStdString()
            + (loaderErrors.isEmpty() ? std::string() : "; " + loaderErrors.toStdString()));
    }
}

void Tfrm_Jointrix::connectHandlers()
{
    connect(cbb_CalType, &QComboBox::activated, this,
            [this] { guarded([this] { cbb_CalTypeSelect(cbb_CalType); }); });
    connect(cbb_Grade, &QComboBox::activated, this,
            [this] { guarded([this] { cbb_GradeSelect(cbb_Grade); }); });
    connect(cbb_Style, &QComboBox::activated, this,
            [this] { guarded([this] { cbb_StyleSelect(cbb_Style); }); });
    connect(BtnOk, &QPushButton::clicked, this, [this] { guarded([this] { BtnOkClick(BtnOk); }); });
    BtnOk->installEventFilter(this);
    connect(BitBtn2, &QPushButton::clicked, this,
            [this] { guarded([this] { BitBtn2Click(BitBtn2); }); });
}

void Tfrm_Jointrix::FormCreate(QObject *)
{
    HostDir = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath() + QLatin1Char('/');
    const QString skinFile
        = HostDir + QStringLiteral("skin") + QDir::separator() + QStringLiteral("skin.ini");
    if (QFileInfo::exists(skinFile))
        bsSkinData1->loadFromFile(skinFile);
}

void Tfrm_Jointrix::FormShow(QObject *)
{
    edt_hf->setText(QStringLiteral("10"));
    edt_Lf->setText(QStringLiteral("1000"));
    cbb_CalTypeSelect(this);
}

void Tfrm_Jointrix::cbb_CalTypeSelect(QObject *)
{
    const int i = cbb_CalType->currentIndex();
    const QString name = QStringLiteral("jpg") + QString::number(i + 1);
    const std::optional<QByteArray> picture = resource::rawData(name);
    const jpeg::Decoded decoded = picture ? jpeg::decode(*picture) : jpeg::Decoded {};
    if (decoded.ok())
        Image->setPixmap(QPixmap::fromImage(decoded.image));
    else
        Image->clear();

    RxRichEdit1->clear();

    const std::optional<weld::Form> form = weld::fromCode<weld::Form>(i);
    const bool graded = form && weld::usesGrade(*form);
    Label1->setEnabled(graded);
    cbb_Grade->setEnabled(graded);
}

void Tfrm_Jointrix::cbb_GradeSelect(QObject *Sender)
{
    cbb_CalTypeSelect(Sender);
}

void Tfrm_Jointrix::cbb_StyleSelect(QObject *Sender)
{
    cbb_CalTypeSelect(Sender);
}

void Tfrm_Jointrix::BtnOkClick(QObject *)
{
    // Enter, Esc and the program press Calculate without moving the focus, so the field being
    // typed in has not been checked on leaving: check it now, and calculate nothing for a value
    // the field refuses.
    auto *field = qobject_cast<TLxEdit *>(focusWidget());
    if (field && field->IsCheckDataValidatiy() && !field->CheckDataValidity()) {
        RxRichEdit1->clear();
        return;
    }
    const auto number = [](const QString &text) { return numtext::parseReal(text).value_or(-1.0); };
    TJointrix calculation;
    calculation.setCalType(cbb_CalType->currentIndex());
    calculation.setGrade(cbb_Grade->currentIndex());
    calculation.setStyle(cbb_Style->currentIndex());
    calculation.setCalTypes(cbb_CalType->currentText());
    calculation.setGrades(cbb_Grade->currentText());
    calculation.setStyles(cbb_Style->currentText());
    calculation.setLf(number(edt_Lf->text()));
    calculation.setHf(number(edt_hf->text()));
    calculation.Calculate(RxRichEdit1->reportView());
    keepSheetInput(calculation);
}

void Tfrm_Jointrix::BitBtn2Click(QObject *)
{
    close();
}

void Tfrm_Jointrix::FormClose(QObject *, TCloseAction &Action)
{
    Action = TCloseAction::caFree;
}

void Tfrm_Jointrix::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The window is shown once: a host that hides and shows its container again must not
    // find the defaults back in place of what the user typed.
    if (!event->spontaneous() && !m_shown) {
        m_shown = true;
        guarded([this] { FormShow(this); });
    }
}

void Tfrm_Jointrix::closeEvent(QCloseEvent *event)
{
    TCloseAction action = TCloseAction::caHide;
    guarded([&] { FormClose(this, action); });
    switch (action) {
    case TCloseAction::caNone:
        event->ignore();
        break;
    case TCloseAction::caHide:
    case TCloseAction::caMinimize:
        event->accept();
        break;
    case TCloseAction::caFree:
        // The release is posted: the window stays on screen, unchanged, until the event loop
        // processes it after the close call has returned.
        event->ignore();
        deleteLater();
        break;
    }
}

bool Tfrm_Jointrix::eventFilter(QObject *watched, QEvent *event)
{
    // A click gives the button the focus before the press reaches it, and leaving the field
    // runs its check; a check that failed has taken the focus back, and then the press is no
    // press of Calculate (the field's message has been shown once already).
    if (watched == BtnOk && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
        && (BtnOk->focusPolicy() & Qt::ClickFocus) && qobject_cast<TLxEdit *>(focusWidget())) {
        RxRichEdit1->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Tfrm_Jointrix::keyPressEvent(QKeyEvent *event)
{
    // The window's dialog keys: keys the focused control did not take arrive here.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        if (BtnOk->isEnabled() && (!focused || focused == BtnOk)) {
            BtnOk->click();
            return;
        }
    } else if (event->key() == Qt::Key_Escape && plain) {
        if (BtnOk->isVisible() && BtnOk->isEnabled()) {
            BtnOk->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void Tfrm_Jointrix::keepSheetInput(const TJointrix &calculation)
{
    // The report's context menu saves and prints the sheet of the calculation that wrote it.
    const auto form = weld::fromCode<weld::Form>(calculation.CalType());
    const auto grade = weld::fromCode<weld::Grade>(calculation.Grade());
    const auto electrode = weld::fromCode<weld::Electrode>(calculation.Style());
    if (!form || !grade || !electrode) {
        RxRichEdit1->setCalculation(std::nullopt);
        return;
    }
    RxRichEdit1->setCalculation(
        sheet::calculate({*form, *grade, *electrode, calculation.Hf(), calculation.Lf()}));
}
