#pragma once

#include "report/uBaseClass.h"

#include <QString>

// The line written in place of the results when a calculation fails.
extern const QString CalcErrorText;

// Weld design strengths in N/mm^2. Only the fields of the connection form are set: the fillet
// forms read FilletStrength alone, the butt and lap forms the other three.
struct WeldStrengths
{
    double FilletStrength = 0;
    double TensileStrength = 0;
    double CompressiveStrength = 0;
    double ShearStrength = 0;
};

// Thrown by SelectStrengths for an electrode type or grade that the strength table has no
// value for.
class UnknownCode : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

// Looks up the weld design strengths. Connection forms outside 0..3 select nothing; an
// electrode type outside 0..2, or a grade outside 0..2 for the butt and lap forms, throws
// UnknownCode.
WeldStrengths SelectStrengths(qint32 calType, qint32 style, qint32 grade, double hf);

namespace weld {
struct Input;
}

// The report of one typed input set, written by a TJointrix into `view` exactly as the window
// has it written: the codes and display texts of the choices, then Lf and Hf, then Calculate.
void CalculateReport(const weld::Input &input, TReportView *view);

// The weld-connection calculation object: one set of inputs, one report.
class TJointrix : public TLxobj
{
    Q_OBJECT
    Q_PROPERTY(qint32 CalType READ CalType WRITE setCalType)
    Q_PROPERTY(qint32 Grade READ Grade WRITE setGrade)
    Q_PROPERTY(qint32 Style READ Style WRITE setStyle)
    Q_PROPERTY(QString CalTypes READ CalTypes WRITE setCalTypes)
    Q_PROPERTY(QString Grades READ Grades WRITE setGrades)
    Q_PROPERTY(QString Styles READ Styles WRITE setStyles)
    Q_PROPERTY(double Lf READ Lf WRITE setLf)
    Q_PROPERTY(double Hf READ Hf WRITE setHf)

public:
    explicit TJointrix(QObject *parent = nullptr);
    ~TJointrix() override;

    // Clears the view, then writes the heading and the F, N and V lines of the connection
    // form. Any failure after the clear ends the report with CalcErrorText in red.
    void Calculate(TReportView *view) override;

    qint32 CalType() const { return m_calType; }
    void setCalType(qint32 value) { m_calType = value; }
    qint32 Grade() const { return m_grade; }
    void setGrade(qint32 value) { m_grade = value; }
    qint32 Style() const { return m_style; }
    void setStyle(qint32 value) { m_style = value; }
    QString CalTypes() const { return m_calTypes; }
    void setCalTypes(const QString &value) { m_calTypes = value; }
    QString Grades() const { return m_grades; }
    void setGrades(const QString &value) { m_grades = value; }
    QString Styles() const { return m_styles; }
    void setStyles(const QString &value) { m_styles = value; }
    double Lf() const { return m_lf; }
    void setLf(double value) { m_lf = value; }
    double Hf() const { return m_hf; }
    void setHf(double value) { m_hf = value; }

private:
    void writeReport(TReportView *view) const;

    qint32 m_calType = 0;
    qint32 m_grade = 0;
    qint32 m_style = 0;
    QString m_calTypes;
    QString m_grades;
    QString m_styles;
    double m_lf = 0.0;
    double m_hf = 0.0;
};
