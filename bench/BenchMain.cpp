// Runs every registered benchmark, then prints for each pair "<group>/ours" and
// "<group>/baseline" the ratio of their mean CPU times per iteration, measured in this one run
// side by side. With --benchmark_repetitions the ratio is that of the medians of the
// repetitions (with --benchmark_enable_random_interleaving, the two sides take turns), which a
// busy machine disturbs less. Targets are what the pair should stay under; they are reported,
// never enforced.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Target ratios by group; a group that is not listed is reported without one.
const std::map<std::string, double> &targets()
{
    static const std::map<std::string, double> table = {
        {"Calculate", 1.5}, {"FormatNumber", 3.0}, {"JpegDecode", 1.2},
        {"SheetPdf", 1.3},  {"Table", 1.5},        {"WindowCreation", 2.0},
    };
    return table;
}

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            const std::string name = run.benchmark_name();
            const size_t slash = name.find('/');
            if (slash == std::string::npos)
                continue;
            const std::string group = name.substr(0, slash);
            const std::string role = name.substr(slash + 1);
            const double perIteration = run.GetAdjustedCPUTime();
            if (role.starts_with("ours"))
                m_ours[group].push_back(perIteration);
            else if (role.starts_with("baseline"))
                m_baseline[group].push_back(perIteration);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios (ours / baseline, CPU time per iteration, this run):\n");
        for (const auto &[group, ours] : m_ours) {
            const auto baseline = m_baseline.find(group);
            if (baseline == m_baseline.end() || median(baseline->second) <= 0)
                continue;
            const double ratio = median(ours) / median(baseline->second);
            const auto target = targets().find(group);
            if (target != targets().end())
                std::printf("  %-16s %6.2f  (target at most %.1f: %s)\n", group.c_str(), ratio,
                            target->second, ratio <= target->second ? "met" : "missed");
            else
                std::printf("  %-16s %6.2f\n", group.c_str(), ratio);
        }
    }

private:
    static double median(std::vector<double> values)
    {
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

    std::map<std::string, std::vector<double>> m_ours;
    std::map<std::string, std::vector<double>> m_baseline;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
