#pragma once

// STAND-IN: a placeholder for the calculator window, only so that the module, its host and
// their tests build and run before the real window is merged. It has the real window's class,
// object name, design size and the two controls a host looks for (the report view and BtnOk);
// everything else of the window is missing. Replace this file and U_Main.cpp with the real
// window.

#include <QWidget>

class QPushButton;
class QTextEdit;

class Tfrm_Jointrix : public QWidget
{
    Q_OBJECT

public:
    // Builds the window and runs FormCreate.
    explicit Tfrm_Jointrix(QWidget *parent = nullptr);
    ~Tfrm_Jointrix() override;

public Q_SLOTS:
    // One calculation with the default inputs into the report view.
    void BtnOkClick();

protected:
    // FormShow: empties the report view.
    void showEvent(QShowEvent *event) override;
    // FormClose: the close action is free, so the window releases itself through a posted
    // deferred delete.
    void closeEvent(QCloseEvent *event) override;

private:
    QTextEdit *m_report = nullptr;
    QPushButton *m_ok = nullptr;
};
