// The report writer against the cheapest way Qt can put the same finished report into a
// document, and the number formatter against the C library's.

#include "calc/U_Class.h"

#include <benchmark/benchmark.h>

#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <vector>

namespace {

void Calculate_ours(benchmark::State &state)
{
    for (auto _ : state) {
        QTextDocument document;
        TReportView view(&document);
        TJointrix calculation;
        calculation.setHf(10);
        calculation.setLf(1000);
        calculation.Calculate(&view);
        benchmark::DoNotOptimize(document.characterCount());
    }
}
BENCHMARK(Calculate_ours)->Name("Calculate/ours");

void Calculate_baseline(benchmark::State &state)
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
    format.setForeground(Qt::black);
    for (auto _ : state) {
        QTextDocument document;
        QTextCursor cursor(&document);
        for (const QString &line : lines) {
            cursor.insertText(line, format);
            cursor.insertBlock(QTextBlockFormat(), format);
        }
        benchmark::DoNotOptimize(document.characterCount());
    }
}
BENCHMARK(Calculate_baseline)->Name("Calculate/baseline");

// A spread of magnitudes and fractions, the same for both sides.
const std::vector<double> &spread()
{
    static const std::vector<double> values = [] {
        std::vector<double> v;
        double x = 0.000123456789;
        for (int i = 0; i < 36; ++i) {
            v.push_back(x);
            v.push_back(-x * 0.7);
            x *= 3.3;
        }
        return v;
    }();
    return values;
}

void FormatNumber_ours(benchmark::State &state)
{
    for (auto _ : state) {
        for (const double x : spread())
            benchmark::DoNotOptimize(TLxobj::FormatNumber(x, 3));
    }
}
BENCHMARK(FormatNumber_ours)->Name("FormatNumber/ours");

void FormatNumber_baseline(benchmark::State &state)
{
    char buffer[64];
    for (auto _ : state) {
        for (const double x : spread()) {
            std::snprintf(buffer, sizeof buffer, "%.15g", x);
            benchmark::DoNotOptimize(QString::fromLatin1(buffer));
        }
    }
}
BENCHMARK(FormatNumber_baseline)->Name("FormatNumber/baseline");

} // namespace
