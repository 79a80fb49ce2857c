#pragma once

#include "calc/Weld.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Capacity tables: every combination of several forms, grades, electrodes, thicknesses and
// lengths, calculated one by one and streamed out as CSV or JSON Lines. Nothing is kept per
// row, so a table of millions of rows runs in the memory of one.
namespace batch {

// A value, or the reason there is none.
template<typename T> struct Parsed
{
    std::optional<T> value;
    std::string error;

    explicit operator bool() const { return value.has_value(); }
    const T &operator*() const { return *value; }
    const T *operator->() const { return &*value; }
};

// The most rows a table may have.
inline constexpr std::uint64_t MaxRows = 10'000'000;

// The ranges of the window's fields, which a checked table holds its lengths to.
using Limits = weld::Range;
inline constexpr Limits HfLimits = weld::HfRange;
inline constexpr Limits LfLimits = weld::LfRange;

// The values of one length of a table, in mm: a list ("4,6,8") or an inclusive range
// ("4:20:2", start, stop, step). Numbers are written with a full stop, as numtext::parseReal
// reads them; blanks around a number are ignored.
class Axis
{
public:
    // The values of `written`, or why it names none: an empty item, a text that is no finite
    // number, a range without three parts, a zero or negative step, a stop below the start
    // (a step of the wrong sign), or more than MaxRows values.
    static Parsed<Axis> parse(std::string_view written);

    std::uint64_t size() const;
    // Value i (i < size()): a listed value, or start + i × step. A range of plain decimals
    // steps exactly in decimal (0.1:0.3:0.1 gives 0.1, 0.2 and 0.3, each the double its text
    // reads as); any other range steps in double.
    double value(std::uint64_t i) const;
    // Room for the text of any value that is not listed.
    using TextBuffer = std::array<char, 40>;
    // The text of value i: a listed value as given, a range's value as the shortest decimal
    // text (no trailing zeros; in double steps the shortest that reads back the same). It may
    // be written into `buffer`.
    std::string_view text(std::uint64_t i, TextBuffer &buffer) const;
    // The same as a JSON number: a listed text that is none ("+4", ".5", "04") is written as
    // the shortest text of its value instead.
    std::string_view jsonText(std::uint64_t i, TextBuffer &buffer) const;
    double min() const;
    double max() const;
    // The longest text() can be.
    std::size_t maxTextLength() const;

private:
    struct Listed
    {
        double value;
        std::string text;
        std::string json;
    };
    enum class Kind : std::uint8_t { List, DecimalRange, DoubleRange };

    Kind m_kind = Kind::List;
    std::vector<Listed> m_list;
    // DecimalRange: value i is (m_start + i × m_step) / 10^m_decimals.
    std::int64_t m_start = 0;
    std::int64_t m_step = 0;
    int m_decimals = 0;
    // DoubleRange: value i is m_first + i × m_by.
    double m_first = 0;
    double m_by = 0;
    std::uint64_t m_count = 0;
};

// The choices of a table from a comma-separated list of their command-line names
// (weld::Named::name), or "all" for every one in table order. Names may repeat.
template<typename E> Parsed<std::vector<E>> parseChoices(std::string_view written);

struct Table
{
    std::vector<weld::Form> forms;
    std::vector<weld::Grade> grades;
    std::vector<weld::Electrode> electrodes;
    Axis hf;
    Axis lf;

    // The product of the five sizes, at most MaxRows + 1 (anything more counts as that).
    std::uint64_t rows() const;
};

// The texts of the command line's options for a table, with its defaults.
struct TableOptions
{
    std::string_view form = "single";
    std::string_view grade = "1";
    std::string_view electrode = "E43";
    std::string_view hf = "10";
    std::string_view lf = "1000";
    // Unchecked tables take any finite length; checked ones hold hf and lf to HfLimits and
    // LfLimits.
    bool unchecked = false;
};

// The table of `options`, or one line naming the option, the value and what is wrong with it:
// nothing of a table is written before all of it is known to be good.
Parsed<Table> makeTable(const TableOptions &options);

enum class Format : std::uint8_t {
    // RFC 4180: a header line, then form,grade,electrode,hf,lf,F,N,V,status; CRLF line ends.
    Csv,
    // One JSON object a line with the same fields; hf and lf numbers, loads null on error.
    JsonLines,
};

// Takes the table's text in order, in pieces; false when a piece could not be taken.
using Sink = std::function<bool(std::string_view)>;

struct WriteResult
{
    std::uint64_t rows = 0; // data rows the sink took
    std::string error; // why the writing stopped; empty once the whole table is written
    bool ok() const { return error.empty(); }
};

// Calculates the rows in order (forms outermost, then grades, electrodes, hf, lf) with
// weld::calculate and writes them to `sink`: form, grade and electrode by their names, hf and
// lf as their axis writes them, F, N and V in kN in the shortest text that reads back to the
// same double, status "ok", or "error" without loads when the calculation fails. Stops at the
// first piece the sink does not take.
WriteResult write(const Table &table, Format format, const Sink &sink);
// The same to a C stream, flushed at the end; a failed write names the system's reason.
WriteResult write(const Table &table, Format format, std::FILE *out);

} // namespace batch
