// Analyse on worst-case clipboard lines: one long expression of 64 KB and of
// 512 KB. The evaluator must stay linear, so the 512K/64K time ratio should be
// near 8 (a copy of the text per operation would make it about 64).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "analyser/Classanalyser.h"

namespace {

constexpr std::size_t k64K = 64 * 1024;
constexpr std::size_t k512K = 512 * 1024;

// "1+1+1+..." cut to the size at a digit.
std::string Repeat(const std::string& unit, std::size_t size) {
    std::string s = "1";
    while (s.size() + unit.size() <= size)
        s += unit;
    return s;
}

std::string Line(int kind, std::size_t size) {
    switch (kind) {
    case 0:
        return Repeat("+1", size);
    case 1:
        return Repeat("*1", size);
    default:
        // Every operator, both passes, fractions written back, negative
        // intermediate values taken up by the sign rule.
        return Repeat("*3/3+2-5*2-1/4+7", size);
    }
}

const char* const kKindNames[] = {"sum", "product", "mixed"};

void BM_Analyse(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const auto size = static_cast<std::size_t>(state.range(1));
    const AnsiString line(Line(kind, size));
    TAnalyser analyser;
    for (auto _ : state) {
        AnsiString result = analyser.Analyse(line);
        benchmark::DoNotOptimize(result);
    }
    state.SetLabel(kKindNames[kind]);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(line.Length()));
}

BENCHMARK(BM_Analyse)
    ->ArgsProduct({{0, 1, 2}, {static_cast<int64_t>(k64K), static_cast<int64_t>(k512K)}})
    ->Unit(benchmark::kMillisecond);

// Collects the real and CPU time of each run to print the 512K/64K ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times_[run.report_label][run.benchmark_name()] = {run.GetAdjustedRealTime(),
                                                                  run.GetAdjustedCPUTime()};
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [label, byName] : times_) {
            Times small, large;
            for (const auto& [name, times] : byName) {
                if (name.find("/" + std::to_string(k64K)) != std::string::npos)
                    small = times;
                if (name.find("/" + std::to_string(k512K)) != std::string::npos)
                    large = times;
            }
            if (small.real > 0 && large.real > 0 && small.cpu > 0)
                GetOutputStream() << "ratio 512K/64K " << label << ": real "
                                  << Fixed(large.real / small.real) << ", cpu "
                                  << Fixed(large.cpu / small.cpu) << "\n";
        }
    }

private:
    static std::string Fixed(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", v);
        return buf;
    }
    struct Times {
        double real = 0;
        double cpu = 0;
    };
    std::map<std::string, std::map<std::string, Times>> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
