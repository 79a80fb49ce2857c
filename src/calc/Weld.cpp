#include "calc/Weld.h"

#include "platform/numtext/NumText.h"

#include <cmath>

namespace weld {

namespace {

struct BandRow
{
    double compressive;
    double tensileGood; // first and second grade
    double tensileThird;
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

double load(int factor, double strength, double hf, double lf)
{
    // The product is taken left to right; a factor of 1 is left out so that it cannot change
    // the rounding of the first step.
    double product = strength;
    if (factor != 1)
        product = factor * strength;
    return product * hf * lf / 1000;
}

bool printable(double value)
{
    // Far below the limit the rounding always succeeds; a batch meets nothing else, so the
    // extended division is left for the rare value near the limit.
    constexpr double SurelyPrintable = 1e15;
    return std::fabs(value) < SurelyPrintable
        || numtext::tryRoundToDecimals(value, ReportDecimals).has_value();
}

} // namespace

Strengths strengths(Form form, Grade grade, Electrode electrode, double hf)
{
    const auto e = size_t(electrode);
    if (!usesGrade(form)) {
        const double fillet = FilletStrengths[e];
        return {fillet, fillet, fillet};
    }
    const ElectrodeBlock &block = ButtStrengths[e];
    int band = 0;
    while (band < 3 && hf > block.thresholds[band])
        ++band;
    const BandRow &row = block.rows[band];
    return {grade == Grade::Third ? row.tensileThird : row.tensileGood, row.compressive, row.shear};
}

Result calculate(const Input &input)
{
    Result result;
    result.strengths = strengths(input.form, input.grade, input.electrode, input.hf);
    const int factor = loadFactor(input.form);
    result.f = load(factor, result.strengths.tensile, input.hf, input.lf);
    result.n = load(factor, result.strengths.compressive, input.hf, input.lf);
    result.v = load(factor, result.strengths.shear, input.hf, input.lf);
    if (!std::isfinite(result.f) || !std::isfinite(result.n) || !std::isfinite(result.v)) {
        result.failure = Failure::LoadNotFinite;
        return result;
    }
    // The strengths are small whole numbers and always print.
    for (const double printed : {input.hf, input.lf, result.f, result.n, result.v}) {
        if (!printable(printed)) {
            result.failure = Failure::NotPrintable;
            break;
        }
    }
    return result;
}

} // namespace weld
