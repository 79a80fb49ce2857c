// STAND-IN for the calculator window; see U_Main.h.

#include "ui/U_Main.h"

#include "calc/U_Class.h"
#include "jointrix/jointrix.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>

Tfrm_Jointrix::Tfrm_Jointrix(QWidget *parent)
    : QWidget(parent)
    , m_report(new QTextEdit(this))
    , m_ok(new QPushButton(QStringLiteral(" 计 算"), this))
{
    setObjectName(QStringLiteral("frm_Jointrix"));
    setWindowTitle(QStringLiteral("焊缝连接计算"));
    setGeometry(39, 22, 824, 616);

    m_report->setObjectName(QStringLiteral("RxRichEdit1"));
    m_report->setGeometry(20, 229, 783, 332);
    m_ok->setObjectName(QStringLiteral("BtnOk"));
    m_ok->setGeometry(716, 578, 79, 25);
    connect(m_ok, &QPushButton::clicked, this, &Tfrm_Jointrix::BtnOkClick);
}

Tfrm_Jointrix::~Tfrm_Jointrix() = default;

void Tfrm_Jointrix::BtnOkClick()
{
    // Nothing may escape into the event loop.
    try {
        TJointrix calculation;
        calculation.setCalType(0);
        calculation.setGrade(0);
        calculation.setStyle(0);
        calculation.setCalTypes(QStringLiteral("单边角焊缝"));
        calculation.setGrades(QStringLiteral("一级"));
        calculation.setStyles(QStringLiteral("E43型"));
        calculation.setLf(1000);
        calculation.setHf(10);
        TReportView view(m_report->document());
        calculation.Calculate(&view);
    } catch (...) {
        ExceptionManager()->handle(std::current_exception());
    }
}

void Tfrm_Jointrix::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_report->clear();
}

void Tfrm_Jointrix::closeEvent(QCloseEvent *event)
{
    event->accept();
    deleteLater();
}
