#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class TLxEdit;
class TJointrix;
class TPanel;
class TRxRichEdit;
class TbsBusinessSkinForm;
class TbsSkinButton;
class TbsSkinData;
class TbsSkinMessage;

// What a window does once it has been asked to close.
enum class TCloseAction : quint8 { caNone, caHide, caFree, caMinimize };

// The calculator window: five labelled inputs, the diagram of the connection form, the report
// view and the Calculate button. Its controls are built from the stored form description
// TFRM_JOINTRIX when the window is created; the fields below name them.
class Tfrm_Jointrix : public QWidget
{
    Q_OBJECT

public:
    // Builds the controls from the form description, then runs FormCreate. Throws
    // std::runtime_error, with the loader's text, when the description cannot be built.
    explicit Tfrm_Jointrix(QWidget *parent = nullptr);
    ~Tfrm_Jointrix() override;

    // The window's components, named as in the form description.
    QGroupBox *GroupBox2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    TLxEdit *edt_hf = nullptr;
    TLxEdit *edt_Lf = nullptr;
    QComboBox *cbb_Grade = nullptr;
    QComboBox *cbb_Style = nullptr;
    TRxRichEdit *RxRichEdit1 = nullptr;
    TPanel *Panel1 = nullptr;
    QLabel *Image = nullptr;
    TbsSkinButton *BtnOk = nullptr;
    TbsSkinButton *BitBtn2 = nullptr;
    TbsSkinMessage *bsSkinMessage1 = nullptr;
    TbsSkinData *bsSkinData1 = nullptr;
    TbsBusinessSkinForm *bsBusinessSkinForm1 = nullptr;
    QComboBox *cbb_CalType = nullptr;
    QLabel *Label9 = nullptr;
    // The directory of the host's program, with a trailing separator.
    QString HostDir;

public Q_SLOTS:
    void BitBtn2Click(QObject *Sender);
    void FormCreate(QObject *Sender);
    void BtnOkClick(QObject *Sender);
    void FormShow(QObject *Sender);
    void cbb_CalTypeSelect(QObject *Sender);
    void cbb_GradeSelect(QObject *Sender);
    void cbb_StyleSelect(QObject *Sender);
    void FormClose(QObject *Sender, TCloseAction &Action);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The steps of building the window: the controls from the description, the reference
    // fields bound to them, the skin links made by name, the anchors attached.
    void loadDescription();
    QString buildFromDescription();
    void bindComponents(const QString &loaderErrors);
    void connectHandlers();
    void keepSheetInput(const TJointrix &calculation);

    bool m_shown = false;
};
