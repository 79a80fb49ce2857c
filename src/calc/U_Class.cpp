#include "calc/U_Class.h"

#include <QScopeGuard>

#include <cmath>
#include <exception>

const QString CalcErrorText = QStringLiteral("计算结果出错！请重新调整已知参数！");

namespace {

constexpr quint8 ResultStyle = 3;
constexpr quint8 ErrorStyle = 5;
constexpr qint8 ReportDecimals = 3;

struct BandRow
{
    double compressive;
    double tensileGood; // grades 0 and 1
    double tensileThird; // grade 2
    double shear;
};

struct ElectrodeBlock
{
    double thresholds[3];
    BandRow rows[4];
};

constexpr double FilletStrengths[3] = {160, 200, 220};

constexpr ElectrodeBlock ButtStrengths[3] = {
    // E43
    {{16, 40, 60},
     {{215, 215, 185, 125}, {205, 205, 175, 120}, {200, 200, 170, 115}, {190, 190, 160, 110}}},
    // E50
    {{16, 35, 50},
     {{310, 310, 265, 180}, {295, 295, 250, 170}, {265, 265, 225, 155}, {250, 250, 210, 145}}},
    // E55
    {{16, 35, 50},
     {{350, 350, 300, 205}, {335, 335, 285, 190}, {315, 315, 270, 180}, {295, 295, 250, 170}}},
};

bool inCodeRange(qint32 code)
{
    return code >= 0 && code <= 2;
}

struct FormReport
{
    const char16_t *heading;
    const char16_t *prefixF;
    const char16_t *prefixN;
    const char16_t *prefixV;
    int factor;
    bool fillet;
};

const FormReport FormReports[4] = {
    {u"单边角焊缝连接计算：", u"设计抗拉荷载：F=", u"设计抗压荷载：N=", u"设计抗剪荷载：V=", 1,
     true},
    {u"双边角焊缝连接计算：", u"设计抗拉荷载：F=2×", u"设计抗压荷载：N=2×", u"设计抗剪荷载：V=2×",
     2, true},
    {u"平焊缝连接计算：", u"设计抗拉荷载：F=", u"设计抗压荷载：N=", u"设计抗剪荷载：V=", 1, false},
    {u"搭接焊缝连接计算：", u"设计抗拉荷载：F=2×", u"设计抗压荷载：N=2×", u"设计抗剪荷载：V=2×", 2,
     false},
};

// A load that overflowed or lost its meaning is no result to print.
class NotFinite : public std::range_error
{
public:
    NotFinite()
        : std::range_error("load is not a finite number")
    { }
};

double load(int factor, double strength, double hf, double lf)
{
    double product = strength;
    if (factor != 1)
        product = factor * strength;
    const double result = product * hf * lf / 1000;
    if (!std::isfinite(result))
        throw NotFinite();
    return result;
}

QString resultLine(const char16_t *prefix, double strength, double hf, double lf, double value)
{
    return QString::fromUtf16(prefix) + TLxobj::FormatNumber(strength, ReportDecimals)
        + QStringLiteral("×") + TLxobj::FormatNumber(hf, ReportDecimals) + QStringLiteral("×")
        + TLxobj::FormatNumber(lf, ReportDecimals) + QStringLiteral("=")
        + TLxobj::FormatNumber(value, ReportDecimals) + QStringLiteral("kN；");
}

} // namespace

WeldStrengths SelectStrengths(qint32 calType, qint32 style, qint32 grade, double hf)
{
    WeldStrengths strengths;
    if (calType == 0 || calType == 1) {
        if (!inCodeRange(style))
            throw UnknownCode("electrode type outside 0..2");
        strengths.FilletStrength = FilletStrengths[style];
    } else if (calType == 2 || calType == 3) {
        if (!inCodeRange(style))
            throw UnknownCode("electrode type outside 0..2");
        if (!inCodeRange(grade))
            throw UnknownCode("weld grade outside 0..2");
        const ElectrodeBlock &block = ButtStrengths[style];
        int band = 0;
        while (band < 3 && hf > block.thresholds[band])
            ++band;
        const BandRow &row = block.rows[band];
        strengths.CompressiveStrength = row.compressive;
        strengths.TensileStrength = grade == 2 ? row.tensileThird : row.tensileGood;
        strengths.ShearStrength = row.shear;
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
    const WeldStrengths s = SelectStrengths(m_calType, m_style, m_grade, m_hf);
    if (m_calType < 0 || m_calType > 3)
        return;
    const FormReport &form = FormReports[m_calType];

    const double strengthF = form.fillet ? s.FilletStrength : s.TensileStrength;
    const double strengthN = form.fillet ? s.FilletStrength : s.CompressiveStrength;
    const double strengthV = form.fillet ? s.FilletStrength : s.ShearStrength;
    const double f = load(form.factor, strengthF, m_hf, m_lf);
    const double n = load(form.factor, strengthN, m_hf, m_lf);
    const double v = load(form.factor, strengthV, m_hf, m_lf);

    WriteLine(view, QString::fromUtf16(form.heading), ResultStyle);
    WriteLine(view, resultLine(form.prefixF, strengthF, m_hf, m_lf, f), ResultStyle);
    WriteLine(view, resultLine(form.prefixN, strengthN, m_hf, m_lf, n), ResultStyle);
    WriteLine(view, resultLine(form.prefixV, strengthV, m_hf, m_lf, v), ResultStyle);
}
