#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <string_view>
#include <type_traits>

// The typed core of the weld calculation: the three choices of the calculator as enums with
// one table of names each, the strength table, and the loads of one input set. It needs no
// document and no Qt object, so a batch can run it millions of times; TJointrix writes its
// report from it.
namespace weld {

// The codes are the positions in the window's lists and the values of TJointrix's
// CalType, Grade and Style properties.
enum class Form : quint8 { SingleFillet, DoubleFillet, Butt, Lap };
enum class Grade : quint8 { First, Second, Third };
enum class Electrode : quint8 { E43, E50, E55 };

// One entry of a choice's table: its command-line name and the text the window's list shows.
template<typename E> struct Named
{
    E value;
    std::string_view name;
    std::u16string_view text;
};

inline constexpr std::array<Named<Form>, 4> Forms = {{
    {Form::SingleFillet, "single", u"单边角焊缝"},
    {Form::DoubleFillet, "double", u"双边角焊缝"},
    {Form::Butt, "butt", u"平焊缝连接"},
    {Form::Lap, "lap", u"搭接焊缝连接"},
}};
inline constexpr std::array<Named<Grade>, 3> Grades = {{
    {Grade::First, "1", u"一级"},
    {Grade::Second, "2", u"二级"},
    {Grade::Third, "3", u"三级"},
}};
inline constexpr std::array<Named<Electrode>, 3> Electrodes = {{
    {Electrode::E43, "E43", u"E43型"},
    {Electrode::E50, "E50", u"E50型"},
    {Electrode::E55, "E55", u"E55型"},
}};

template<typename E> constexpr const auto &table()
{
    if constexpr (std::is_same_v<E, Form>)
        return Forms;
    else if constexpr (std::is_same_v<E, Grade>)
        return Grades;
    else
        return Electrodes;
}

// The value of a code, or nothing for a code outside the table (negative ones included).
template<typename E> constexpr std::optional<E> fromCode(qint32 code)
{
    const auto &entries = table<E>();
    if (code < 0 || code >= qint32(entries.size()))
        return std::nullopt;
    return entries[size_t(code)].value;
}

template<typename E> constexpr qint32 code(E value)
{
    return qint32(value);
}

// The value of a command-line name, or nothing for a name the table does not hold.
template<typename E> constexpr std::optional<E> fromName(std::string_view name)
{
    for (const auto &entry : table<E>()) {
        if (entry.name == name)
            return entry.value;
    }
    return std::nullopt;
}

template<typename E> constexpr std::string_view name(E value)
{
    return table<E>()[size_t(value)].name;
}

template<typename E> QString displayText(E value)
{
    const std::u16string_view text = table<E>()[size_t(value)].text;
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// Butt and lap welds take their tensile strength from the grade; fillet welds ignore it.
constexpr bool usesGrade(Form form)
{
    return form == Form::Butt || form == Form::Lap;
}

// The double-sided forms carry twice the load of one weld.
constexpr int loadFactor(Form form)
{
    return form == Form::DoubleFillet || form == Form::Lap ? 2 : 1;
}

// Design strengths in N/mm^2, as the three loads use them: a fillet weld has one strength for
// all three.
struct Strengths
{
    double tensile = 0;
    double compressive = 0;
    double shear = 0;
};

// The strengths of the table for the form, grade (read for butt and lap welds only), electrode
// and weld thickness hf in mm.
Strengths strengths(Form form, Grade grade, Electrode electrode, double hf);

// The lengths the window's fields accept, in mm; a checked command line holds its lengths to
// the same ranges.
struct Range
{
    double min;
    double max;
};
inline constexpr Range HfRange {1, 100};
inline constexpr Range LfRange {1, 10000};

struct Input
{
    Form form = Form::SingleFillet;
    Grade grade = Grade::First;
    Electrode electrode = Electrode::E43;
    double hf = 0; // weld thickness, mm
    double lf = 0; // weld length, mm
};

// Why a calculation gave no loads.
enum class Failure : quint8 {
    LoadNotFinite, // a product overflowed, or an input was not a number
    NotPrintable, // a number beyond what the report rounds to its decimals
};

// The decimals the report prints its numbers with.
inline constexpr int ReportDecimals = 3;

// The loads of one input set in kN: factor × strength × hf × lf / 1000, taken left to right.
// A failed result is one whose report ends in the calculation error line.
struct Result
{
    Strengths strengths;
    double f = 0;
    double n = 0;
    double v = 0;
    std::optional<Failure> failure;

    bool ok() const { return !failure; }
};

Result calculate(const Input &input);

} // namespace weld
