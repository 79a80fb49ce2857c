#include "batch/Batch.h"

#include "platform/numtext/NumText.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace batch {

namespace {

// Exact powers of ten as doubles, and as integers for the decimal steps.
constexpr double Pow10[16]
    = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr std::int64_t IntPow10[16] = {1,
                                       10,
                                       100,
                                       1000,
                                       10000,
                                       100000,
                                       1000000,
                                       10000000,
                                       100000000,
                                       1000000000,
                                       10000000000,
                                       100000000000,
                                       1000000000000,
                                       10000000000000,
                                       100000000000000,
                                       1000000000000000};
constexpr int MaxDecimals = 15;
// Integers up to this are doubles exactly, so a quotient by an exact power of ten is the
// correctly rounded value of the decimal: the double its text reads as.
constexpr std::int64_t ExactLimit = std::int64_t(1) << 53;

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

std::string quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// A finite number as the single calculation reads it, whatever the locale.
std::optional<double> number(std::string_view text)
{
    return numtext::parseReal(QString::fromUtf8(text.data(), qsizetype(text.size())),
                              QLatin1Char('.'));
}

std::string_view shortest(double value, Axis::TextBuffer &buffer)
{
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return ec == std::errc() ? std::string_view(buffer.data(), size_t(end - buffer.data()))
                             : std::string_view();
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(std::string_view t)
{
    size_t i = 0;
    const auto digits = [&] {
        const size_t from = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i;
        return i - from;
    };
    if (i < t.size() && t[i] == '-')
        ++i;
    const size_t whole = i;
    const size_t wholeDigits = digits();
    if (wholeDigits == 0 || (wholeDigits > 1 && t[whole] == '0'))
        return false;
    if (i < t.size() && t[i] == '.') {
        ++i;
        if (digits() == 0)
            return false;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == t.size();
}

// A number written without exponent and with at most 15 significant digits: mantissa / 10^decimals.
struct Decimal
{
    std::int64_t mantissa = 0;
    int decimals = 0;
};

std::optional<Decimal> plainDecimal(std::string_view t)
{
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    Decimal d;
    bool point = false;
    int significant = 0;
    size_t i = 0;
    for (; i < t.size() && t[i] != 'e' && t[i] != 'E'; ++i) {
        const char c = t[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (d.mantissa != 0 || c != '0')
                ++significant;
            if (significant > 15)
                return std::nullopt;
            d.mantissa = d.mantissa * 10 + (c - '0');
            if (point)
                ++d.decimals;
        } else {
            return std::nullopt;
        }
    }
    // An exponent moves the point: 1e-1 is the decimal 0.1 as much as 0.1 is, so a range
    // written with exponents steps as exactly and ends where it says.
    if (i < t.size()) {
        std::string_view exponent = t.substr(i + 1);
        bool down = false;
        if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) {
            down = exponent.front() == '-';
            exponent.remove_prefix(1);
        }
        if (exponent.empty() || exponent.size() > 3)
            return std::nullopt;
        int e = 0;
        for (const char c : exponent) {
            if (c < '0' || c > '9')
                return std::nullopt;
            e = e * 10 + (c - '0');
        }
        d.decimals += down ? e : -e;
        for (; d.decimals < 0; ++d.decimals) {
            if (++significant > 15)
                return std::nullopt;
            d.mantissa *= 10;
        }
    }
    if (d.decimals > MaxDecimals)
        return std::nullopt;
    if (negative)
        d.mantissa = -d.mantissa;
    return d;
}

// `d` at `decimals` decimals, if that stays within the exact integers.
std::optional<std::int64_t> scaled(Decimal d, int decimals)
{
    const std::int64_t factor = IntPow10[decimals - d.decimals];
    if (d.mantissa > ExactLimit / factor || d.mantissa < -ExactLimit / factor)
        return std::nullopt;
    return d.mantissa * factor;
}

std::string_view decimalText(std::int64_t value, int decimals, Axis::TextBuffer &buffer)
{
    // The digits from the lowest up, at least one above the point.
    char digits[24];
    std::uint64_t magnitude
        = value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    const bool negative = value < 0;
    int count = 0;
    do {
        digits[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count <= decimals)
        digits[count++] = '0';
    // Trailing zeros of the fraction are dropped, and with them a point left alone.
    int lowest = 0;
    while (lowest < decimals && digits[lowest] == '0')
        ++lowest;
    char *out = buffer.data();
    if (negative)
        *out++ = '-';
    for (int i = count - 1; i >= decimals; --i)
        *out++ = digits[i];
    if (lowest < decimals) {
        *out++ = '.';
        for (int i = decimals - 1; i >= lowest; --i)
            *out++ = digits[i];
    }
    return {buffer.data(), size_t(out - buffer.data())};
}

template<typename E> std::string namesOf()
{
    std::string names;
    const auto &entries = weld::table<E>();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            names += i + 1 == entries.size() ? " or " : ", ";
        names += entries[i].name;
    }
    return names;
}

// a × b, counting anything past MaxRows as MaxRows + 1.
std::uint64_t timesCapped(std::uint64_t a, std::uint64_t b)
{
    if (a == 0 || b == 0)
        return 0;
    if (a > MaxRows || b > (MaxRows + 1) / a + 1)
        return MaxRows + 1;
    return std::min(a * b, MaxRows + 1);
}

std::string limitsText(const Limits &limits)
{
    Axis::TextBuffer low;
    Axis::TextBuffer high;
    return std::string(shortest(limits.min, low)) + " to "
        + std::string(shortest(limits.max, high));
}

// The first value of `axis` outside `limits`, if any.
std::optional<double> outside(const Axis &axis, const Limits &limits)
{
    if (axis.min() >= limits.min && axis.max() <= limits.max)
        return std::nullopt;
    for (std::uint64_t i = 0; i < axis.size(); ++i) {
        const double v = axis.value(i);
        if (v < limits.min || v > limits.max)
            return v;
    }
    return std::nullopt;
}

} // namespace

// --- Axis ----------------------------------------------------------------------------------

Parsed<Axis> Axis::parse(std::string_view written)
{
    Axis axis;
    if (written.find(':') == std::string_view::npos) {
        for (const std::string_view part : split(written, ',')) {
            const std::string_view item = trimmed(part);
            if (item.empty())
                return {std::nullopt, "an empty item in the list"};
            const std::optional<double> value = number(item);
            if (!value)
                return {std::nullopt, quoted(item) + " is not a finite number"};
            TextBuffer buffer;
            const std::string json(isJsonNumber(item) ? item : shortest(*value, buffer));
            axis.m_list.push_back({*value, std::string(item), json});
        }
        axis.m_count = axis.m_list.size();
        return {std::move(axis), {}};
    }

    const std::vector<std::string_view> parts = split(written, ':');
    if (parts.size() != 3)
        return {std::nullopt, "a range is start:stop:step"};
    double ends[3];
    for (size_t i = 0; i < 3; ++i) {
        const std::string_view item = trimmed(parts[i]);
        const std::optional<double> value = number(item);
        if (!value)
            return {std::nullopt, quoted(item) + " is not a finite number"};
        ends[i] = *value;
    }
    const auto [start, stop, step] = ends;
    if (step == 0)
        return {std::nullopt, "the step is zero"};
    if (step < 0)
        return {std::nullopt, "the step is negative; a range counts upwards"};
    if (stop < start)
        return {std::nullopt, "the stop is below the start, so the step would be negative"};
    const std::string tooMany = "more than " + std::to_string(MaxRows) + " values";

    // Plain decimals step in exact integers of their finest decimal.
    std::optional<Decimal> decimals[3];
    int finest = 0;
    for (size_t i = 0; i < 3; ++i) {
        decimals[i] = plainDecimal(trimmed(parts[i]));
        if (decimals[i])
            finest = std::max(finest, decimals[i]->decimals);
    }
    if (decimals[0] && decimals[1] && decimals[2]) {
        const auto first = scaled(*decimals[0], finest);
        const auto last = scaled(*decimals[1], finest);
        const auto by = scaled(*decimals[2], finest);
        if (first && last && by) {
            const std::uint64_t steps = std::uint64_t(*last - *first) / std::uint64_t(*by);
            if (steps >= MaxRows)
                return {std::nullopt, tooMany};
            axis.m_kind = Kind::DecimalRange;
            axis.m_start = *first;
            axis.m_step = *by;
            axis.m_decimals = finest;
            axis.m_count = steps + 1;
            return {std::move(axis), {}};
        }
    }

    // Anything else steps in double: the values start + i × step up to stop as computed.
    const double quotient = (stop - start) / step;
    if (!(quotient < double(MaxRows)))
        return {std::nullopt, tooMany};
    auto steps = std::int64_t(quotient);
    while (steps + 1 < std::int64_t(MaxRows) && start + double(steps + 1) * step <= stop)
        ++steps;
    while (steps > 0 && start + double(steps) * step > stop)
        --steps;
    // A step too small for values this large leaves a value where it was: the range would
    // repeat one row instead of counting.
    if (steps > 0
        && (!(start + step > start)
            || !(start + double(steps) * step > start + double(steps - 1) * step)))
        return {std::nullopt, "the step is too small to change values this large"};
    axis.m_kind = Kind::DoubleRange;
    axis.m_first = start;
    axis.m_by = step;
    axis.m_count = std::uint64_t(steps) + 1;
    return {std::move(axis), {}};
}

std::uint64_t Axis::size() const
{
    return m_count;
}

double Axis::value(std::uint64_t i) const
{
    switch (m_kind) {
    case Kind::List:
        return m_list[i].value;
    case Kind::DecimalRange:
        return double(m_start + std::int64_t(i) * m_step) / Pow10[m_decimals];
    case Kind::DoubleRange:
        return m_first + double(i) * m_by;
    }
    return 0;
}

std::string_view Axis::text(std::uint64_t i, TextBuffer &buffer) const
{
    switch (m_kind) {
    case Kind::List:
        return m_list[i].text;
    case Kind::DecimalRange:
        return decimalText(m_start + std::int64_t(i) * m_step, m_decimals, buffer);
    case Kind::DoubleRange:
        return shortest(value(i), buffer);
    }
    return {};
}

std::string_view Axis::jsonText(std::uint64_t i, TextBuffer &buffer) const
{
    return m_kind == Kind::List ? std::string_view(m_list[i].json) : text(i, buffer);
}

double Axis::min() const
{
    if (m_kind != Kind::List)
        return value(0);
    double low = std::numeric_limits<double>::infinity();
    for (const Listed &entry : m_list)
        low = std::min(low, entry.value);
    return low;
}

double Axis::max() const
{
    if (m_kind != Kind::List)
        return value(m_count - 1);
    double high = -std::numeric_limits<double>::infinity();
    for (const Listed &entry : m_list)
        high = std::max(high, entry.value);
    return high;
}

std::size_t Axis::maxTextLength() const
{
    std::size_t longest = std::tuple_size_v<TextBuffer>;
    for (const Listed &entry : m_list)
        longest = std::max({longest, entry.text.size(), entry.json.size()});
    return longest;
}

// --- Tables --------------------------------------------------------------------------------

template<typename E> Parsed<std::vector<E>> parseChoices(std::string_view written)
{
    std::vector<E> choices;
    if (trimmed(written) == "all") {
        for (const auto &entry : weld::table<E>())
            choices.push_back(entry.value);
        return {std::move(choices), {}};
    }
    for (const std::string_view part : split(written, ',')) {
        const std::string_view name = trimmed(part);
        if (name.empty())
            return {std::nullopt, "an empty item in the list"};
        const std::optional<E> choice = weld::fromName<E>(name);
        if (!choice)
            return {std::nullopt, quoted(name) + " is none of " + namesOf<E>() + " (or all)"};
        choices.push_back(*choice);
    }
    return {std::move(choices), {}};
}

template Parsed<std::vector<weld::Form>> parseChoices<weld::Form>(std::string_view);
template Parsed<std::vector<weld::Grade>> parseChoices<weld::Grade>(std::string_view);
template Parsed<std::vector<weld::Electrode>> parseChoices<weld::Electrode>(std::string_view);

std::uint64_t Table::rows() const
{
    std::uint64_t rows = timesCapped(forms.size(), grades.size());
    rows = timesCapped(rows, electrodes.size());
    rows = timesCapped(rows, hf.size());
    return timesCapped(rows, lf.size());
}

Parsed<Table> makeTable(const TableOptions &options)
{
    const auto invalid
        = [](std::string_view option, std::string_view value, const std::string &reason) {
              return Parsed<Table> {std::nullopt,
                                    "invalid value " + quoted(value) + " for option '"
                                        + std::string(option) + "': " + reason};
          };
    Table table;
    const auto forms = parseChoices<weld::Form>(options.form);
    if (!forms)
        return invalid("--form", options.form, forms.error);
    const auto grades = parseChoices<weld::Grade>(options.grade);
    if (!grades)
        return invalid("--grade", options.grade, grades.error);
    const auto electrodes = parseChoices<weld::Electrode>(options.electrode);
    if (!electrodes)
        return invalid("--electrode", options.electrode, electrodes.error);
    auto hf = Axis::parse(options.hf);
    if (!hf)
        return invalid("--hf", options.hf, hf.error);
    auto lf = Axis::parse(options.lf);
    if (!lf)
        return invalid("--lf", options.lf, lf.error);
    table.forms = *forms;
    table.grades = *grades;
    table.electrodes = *electrodes;
    table.hf = std::move(*hf.value);
    table.lf = std::move(*lf.value);

    if (table.rows() > MaxRows) {
        return {std::nullopt,
                "the table has more than " + std::to_string(MaxRows)
                    + " rows (--form, --grade, --electrode, --hf and --lf "
                      "multiply)"};
    }
    if (!options.unchecked) {
        const struct
        {
            const char *option;
            std::string_view written;
            const Axis &axis;
            Limits limits;
        } lengths[]
            = {{"--hf", options.hf, table.hf, HfLimits}, {"--lf", options.lf, table.lf, LfLimits}};
        for (const auto &length : lengths) {
            if (const std::optional<double> value = outside(length.axis, length.limits)) {
                Axis::TextBuffer buffer;
                return invalid(length.option, length.written,
                               std::string(shortest(*value, buffer)) + " is outside "
                                   + limitsText(length.limits) + " (--unchecked takes any)");
            }
        }
    }
    return {std::move(table), {}};
}

// --- Writing -------------------------------------------------------------------------------

namespace {

// Collects the table's text and hands it to the sink in large pieces; a row is counted once
// the sink has taken it.
class Output
{
public:
    Output(const Sink &sink, size_t rowRoom)
        : m_sink(sink)
        , m_rowRoom(rowRoom)
        , m_data(std::max<size_t>(Capacity, 2 * rowRoom))
    { }

    // Makes room for one row; false once the sink has refused a piece.
    bool startRow()
    {
        if (m_data.size() - m_used >= m_rowRoom)
            return true;
        return flush();
    }
    void endRow() { ++m_pending; }

    void put(std::string_view text)
    {
        std::memcpy(m_data.data() + m_used, text.data(), text.size());
        m_used += text.size();
    }
    void put(char c) { m_data[m_used++] = c; }
    void put(double value)
    {
        const auto [end, ec]
            = std::to_chars(m_data.data() + m_used, m_data.data() + m_data.size(), value);
        m_used = size_t(end - m_data.data());
    }

    bool flush()
    {
        if (m_failed)
            return false;
        if (m_used > 0 && !m_sink(std::string_view(m_data.data(), m_used))) {
            m_failed = true;
            return false;
        }
        m_used = 0;
        m_rows += m_pending;
        m_pending = 0;
        return true;
    }

    WriteResult result() const
    {
        return {m_rows, m_failed ? "the output did not take the table's text" : std::string()};
    }

private:
    static constexpr size_t Capacity = size_t(64) * 1024;

    const Sink &m_sink;
    size_t m_rowRoom;
    std::vector<char> m_data;
    size_t m_used = 0;
    std::uint64_t m_pending = 0;
    std::uint64_t m_rows = 0;
    bool m_failed = false;
};

template<Format format> void writeRows(const Table &table, Output &out)
{
    Axis::TextBuffer hfBuffer;
    Axis::TextBuffer lfBuffer;
    weld::Input input;
    for (const weld::Form form : table.forms) {
        input.form = form;
        for (const weld::Grade grade : table.grades) {
            input.grade = grade;
            for (const weld::Electrode electrode : table.electrodes) {
                input.electrode = electrode;
                for (std::uint64_t h = 0; h < table.hf.size(); ++h) {
                    input.hf = table.hf.value(h);
                    const std::string_view hfText = format == Format::Csv
                        ? table.hf.text(h, hfBuffer)
                        : table.hf.jsonText(h, hfBuffer);
                    for (std::uint64_t l = 0; l < table.lf.size(); ++l) {
                        if (!out.startRow())
                            return;
                        input.lf = table.lf.value(l);
                        const weld::Result result = weld::calculate(input);
                        if constexpr (format == Format::Csv) {
                            out.put(weld::name(form));
                            out.put(',');
                            out.put(weld::name(grade));
                            out.put(',');
                            out.put(weld::name(electrode));
                            out.put(',');
                            out.put(hfText);
                            out.put(',');
                            out.put(table.lf.text(l, lfBuffer));
                            out.put(',');
                            if (result.ok()) {
                                out.put(result.f);
                                out.put(',');
                                out.put(result.n);
                                out.put(',');
                                out.put(result.v);
                                out.put(std::string_view(",ok\r\n"));
                            } else {
                                out.put(std::string_view(",,,error\r\n"));
                            }
                        } else {
                            out.put(std::string_view(R"({"form":")"));
                            out.put(weld::name(form));
                            out.put(std::string_view(R"(","grade":")"));
                            out.put(weld::name(grade));
                            out.put(std::string_view(R"(","electrode":")"));
                            out.put(weld::name(electrode));
                            out.put(std::string_view(R"(","hf":)"));
                            out.put(hfText);
                            out.put(std::string_view(R"(,"lf":)"));
                            out.put(table.lf.jsonText(l, lfBuffer));
                            if (result.ok()) {
                                out.put(std::string_view(R"(,"F":)"));
                                out.put(result.f);
                                out.put(std::string_view(R"(,"N":)"));
                                out.put(result.n);
                                out.put(std::string_view(R"(,"V":)"));
                                out.put(result.v);
                                out.put(std::string_view(R"(,"status":"ok"})"
                                                         "\n"));
                            } else {
                                out.put(std::string_view(
                                    R"(,"F":null,"N":null,"V":null,"status":"error"})"
                                    "\n"));
                            }
                        }
                        out.endRow();
                    }
                }
            }
        }
    }
}

} // namespace

WriteResult write(const Table &table, Format format, const Sink &sink)
{
    // The fixed part of a row, three loads of at most 24 characters each and the two lengths.
    constexpr size_t FixedRoom = 200;
    Output out(sink, FixedRoom + table.hf.maxTextLength() + table.lf.maxTextLength());
    if (format == Format::Csv) {
        out.startRow();
        out.put(std::string_view("form,grade,electrode,hf,lf,F,N,V,status\r\n"));
        writeRows<Format::Csv>(table, out);
    } else {
        writeRows<Format::JsonLines>(table, out);
    }
    out.flush();
    return out.result();
}

WriteResult write(const Table &table, Format format, std::FILE *out)
{
    int failure = 0;
    const Sink sink = [out, &failure](std::string_view text) {
        if (std::fwrite(text.data(), 1, text.size(), out) == text.size())
            return true;
        failure = errno;
        return false;
    };
    WriteResult result = write(table, format, sink);
    if (result.ok() && std::fflush(out) != 0)
        failure = errno;
    if (failure != 0)
        result.error = std::string("write failed: ") + std::strerror(failure);
    else if (!result.ok() || std::ferror(out))
        result.error = "write failed";
    return result;
}

} // namespace batch
