// The ways out of a result: a capacity table of one million rows against a plain loop that
// computes the same loads and prints the same CSV, and one PDF sheet against Qt printing the
// bare report to PDF.

#include "batch/Batch.h"
#include "calc/Weld.h"
#include "sheet/Sheet.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// 4 forms × 2 grades × 1 electrode × 100 thicknesses × 1250 lengths.
const batch::TableOptions MillionRows = {"all", "1,3", "E50", "1:100:1", "8:10000:8"};

const batch::Table &millionRows()
{
    static const batch::Table table = *batch::makeTable(MillionRows);
    return table;
}

// The plain loop: the same nesting, the strengths from the same table, the loads as
// weld::calculate takes them, every number through std::to_chars, no checks.
template<typename Write> void plainTable(Write &&write)
{
    static const weld::Form forms[]
        = {weld::Form::SingleFillet, weld::Form::DoubleFillet, weld::Form::Butt, weld::Form::Lap};
    static const weld::Grade grades[] = {weld::Grade::First, weld::Grade::Third};
    std::vector<char> buffer(64 * 1024);
    size_t used = 0;
    const auto put = [&](std::string_view text) {
        std::memcpy(buffer.data() + used, text.data(), text.size());
        used += text.size();
    };
    const auto number = [&](double value) {
        used = size_t(std::to_chars(buffer.data() + used, buffer.data() + buffer.size(), value).ptr
                      - buffer.data());
    };
    put("form,grade,electrode,hf,lf,F,N,V,status\r\n");
    for (const weld::Form form : forms) {
        const double factor = weld::loadFactor(form);
        for (const weld::Grade grade : grades) {
            for (int h = 1; h <= 100; ++h) {
                const double hf = h;
                const weld::Strengths s = weld::strengths(form, grade, weld::Electrode::E50, hf);
                for (int l = 8; l <= 10000; l += 8) {
                    const double lf = l;
                    if (buffer.size() - used < 256) {
                        write(buffer.data(), used);
                        used = 0;
                    }
                    put(weld::name(form));
                    put(",");
                    put(weld::name(grade));
                    put(",E50,");
                    number(hf);
                    put(",");
                    number(lf);
                    put(",");
                    number((factor == 1 ? s.tensile : factor * s.tensile) * hf * lf / 1000);
                    put(",");
                    number((factor == 1 ? s.compressive : factor * s.compressive) * hf * lf / 1000);
                    put(",");
                    number((factor == 1 ? s.shear : factor * s.shear) * hf * lf / 1000);
                    put(",ok\r\n");
                }
            }
        }
    }
    write(buffer.data(), used);
}

// Both sides must write the very same bytes for the comparison to mean anything.
bool sameTables()
{
    std::string ours;
    batch::write(millionRows(), batch::Format::Csv, [&ours](std::string_view piece) {
        ours.append(piece);
        return true;
    });
    std::string plain;
    plainTable([&plain](const char *data, size_t size) { plain.append(data, size); });
    return ours == plain;
}

void Table_ours(benchmark::State &state)
{
    static const bool same = sameTables();
    if (!same) {
        state.SkipWithError("the two tables differ");
        return;
    }
    std::FILE *null = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        const batch::WriteResult result = batch::write(millionRows(), batch::Format::Csv, null);
        benchmark::DoNotOptimize(result.rows);
    }
    std::fclose(null);
    state.SetItemsProcessed(state.iterations() * std::int64_t(millionRows().rows()));
}
BENCHMARK(Table_ours)->Name("Table/ours")->Unit(benchmark::kMillisecond);

void Table_baseline(benchmark::State &state)
{
    std::FILE *null = std::fopen("/dev/null", "w");
    for (auto _ : state)
        plainTable([null](const char *data, size_t size) { std::fwrite(data, 1, size, null); });
    std::fclose(null);
    state.SetItemsProcessed(state.iterations() * std::int64_t(millionRows().rows()));
}
BENCHMARK(Table_baseline)->Name("Table/baseline")->Unit(benchmark::kMillisecond);

void SheetPdf_ours(benchmark::State &state)
{
    const weld::Input input {weld::Form::SingleFillet, weld::Grade::First, weld::Electrode::E43, 10,
                             1000};
    for (auto _ : state) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        const auto document = sheet::makeDocument(sheet::calculate(input));
        const sheet::WriteResult result = sheet::write(*document, sheet::Format::Pdf, &pdf);
        benchmark::DoNotOptimize(result.ok());
        benchmark::DoNotOptimize(pdf.size());
    }
}
BENCHMARK(SheetPdf_ours)->Name("SheetPdf/ours")->Unit(benchmark::kMillisecond);

void SheetPdf_baseline(benchmark::State &state)
{
    const QString lines[] = {
        QStringLiteral("单边角焊缝连接计算："),
        QStringLiteral("设计抗拉荷载：F=160×10×1000=1600kN；"),
        QStringLiteral("设计抗压荷载：N=160×10×1000=1600kN；"),
        QStringLiteral("设计抗剪荷载：V=160×10×1000=1600kN；"),
    };
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("Times New Roman")});
    format.setFontPointSize(12);
    for (auto _ : state) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QTextDocument document;
        QTextCursor cursor(&document);
        for (const QString &line : lines) {
            cursor.insertText(line, format);
            cursor.insertBlock(QTextBlockFormat(), format);
        }
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        document.print(&writer);
        benchmark::DoNotOptimize(pdf.size());
    }
}
BENCHMARK(SheetPdf_baseline)->Name("SheetPdf/baseline")->Unit(benchmark::kMillisecond);

} // namespace
