#include "calc/U_Class.h"

#include "calc/Weld.h"

#include <QScopeGuard>

#include <exception>

const QString CalcErrorText = QStringLiteral("计算结果出错！请重新调整已知参数！");

namespace {

constexpr quint8 ResultStyle = 3;
constexpr quint8 ErrorStyle = 5;
constexpr qint8 ReportDecimals = weld::ReportDecimals;

struct FormReport
{
    const char16_t *heading;
    const char16_t *prefixF;
    const char16_t *prefixN;
    const char16_t *prefixV;
};

// Indexed by weld::Form.
const FormReport FormReports[4] = {
    {u"单边角焊缝连接计算：", u"设计抗拉荷载：F=", u"设计抗压荷载：N=", u"设计抗剪荷载：V="},
    {u"双边角焊缝连接计算：", u"设计抗拉荷载：F=2×", u"设计抗压荷载：N=2×", u"设计抗剪荷载：V=2×"},
    {u"平焊缝连接计算：", u"设计抗拉荷载：F=", u"设计抗压荷载：N=", u"设计抗剪荷载：V="},
    {u"搭接焊缝连接计算：", u"设计抗拉荷载：F=2×", u"设计抗压荷载：N=2×", u"设计抗剪荷载：V=2×"},
};

QString resultLine(const char16_t *prefix, double strength, double hf, double lf, double value)
{
    return QString::fromUtf16(prefix) + TLxobj::FormatNumber(strength, ReportDecimals)
        + QStringLiteral("×") + TLxobj::FormatNumber(hf, ReportDecimals) + QStringLiteral("×")
        + TLxobj::FormatNumber(lf, ReportDecimals) + QStringLiteral("=")
        + TLxobj::FormatNumber(value, ReportDecimals) + QStringLiteral("kN；");
}

// The typed input of the codes the properties hold, or UnknownCode for an electrode or a
// grade the form needs and the table has no value for. A form outside the table gives nothing.
std::optional<weld::Input> typedInput(qint32 calType, qint32 style, qint32 grade)
{
    const std::optional<weld::Form> form = weld::fromCode<weld::Form>(calType);
    if (!form)
        return std::nullopt;
    const std::optional<weld::Electrode> electrode = weld::fromCode<weld::Electrode>(style);
    if (!electrode)
        throw UnknownCode("electrode type outside 0..2");
    std::optional<weld::Grade> typedGrade = weld::fromCode<weld::Grade>(grade);
    if (!typedGrade) {
        if (weld::usesGrade(*form))
            throw UnknownCode("weld grade outside 0..2");
        typedGrade = weld::Grade::First; // not read for this form
    }
    weld::Input input;
    input.form = *form;
    input.grade = *typedGrade;
    input.electrode = *electrode;
    return input;
}

// A load that overflowed or lost its meaning is no result to print.
class NotFinite : public std::range_error
{
public:
    NotFinite()
        : std::range_error("load is not a finite number")
    { }
};

} // namespace

WeldStrengths SelectStrengths(qint32 calType, qint32 style, qint32 grade, double hf)
{
    WeldStrengths strengths;
    const std::optional<weld::Input> input = typedInput(calType, style, grade);
    if (!input)
        return strengths;
    const weld::Strengths s = weld::strengths(input->form, input->grade, input->electrode, hf);
    if (weld::usesGrade(input->form)) {
        strengths.TensileStrength = s.tensile;
        strengths.CompressiveStrength = s.compressive;
        strengths.ShearStrength = s.shear;
    } else {
        strengths.FilletStrength = s.tensile;
    }
    return strengths;
}

TJointrix::TJointrix(QObject *parent)
    : TLxobj(parent)
{ }

TJointrix::~TJointrix() = default;

void TJointrix::Calculate(TReportView *view)
{
    if (!view)
        return;
    TLxobj::Calculate(view);
    // The report is one edit: one undo step, and one relayout of an editor showing it.
    view->beginEditBlock();
    const auto endEdit = qScopeGuard([view] { view->endEditBlock(); });
    try {
        writeReport(view);
    } catch (...) {
        WriteLine(view, CalcErrorText, ErrorStyle);
    }
}

void TJointrix::writeReport(TReportView *view) const
{
    std::optional<weld::Input> input = typedInput(m_calType, m_style, m_grade);
    if (!input)
        return;
    input->hf = m_hf;
    input->lf = m_lf;
    const weld::Result result = weld::calculate(*input);
    // Nothing is written for loads that are no numbers; a number the report cannot print
    // fails in its own line, after the lines before it.
    if (result.failure == weld::Failure::LoadNotFinite)
        throw NotFinite();

    const FormReport &form = FormReports[size_t(input->form)];
    const weld::Strengths &s = result.strengths;
    WriteLine(view, QString::fromUtf16(form.heading), ResultStyle);
    WriteLine(view, resultLine(form.prefixF, s.tensile, m_hf, m_lf, result.f), ResultStyle);
    WriteLine(view, resultLine(form.prefixN, s.compressive, m_hf, m_lf, result.n), ResultStyle);
    WriteLine(view, resultLine(form.prefixV, s.shear, m_hf, m_lf, result.v), ResultStyle);
}

void CalculateReport(const weld::Input &input, TReportView *view)
{
    TJointrix calculation;
    calculation.setCalType(weld::code(input.form));
    calculation.setGrade(weld::code(input.grade));
    calculation.setStyle(weld::code(input.electrode));
    calculation.setCalTypes(weld::displayText(input.form));
    calculation.setGrades(weld::displayText(input.grade));
    calculation.setStyles(weld::displayText(input.electrode));
    calculation.setLf(input.lf);
    calculation.setHf(input.hf);
    calculation.Calculate(view);
}
