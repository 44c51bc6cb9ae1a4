#pragma once
// A benchmark main that prints, after Google Benchmark's own table, every
// result as a ratio against the baseline measured in the same run (the
// benchmark whose name starts with "Baseline"), so that figures compare
// across machines.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace zv::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
            // Real time per iteration in nanoseconds, whatever unit the
            // benchmark reports in.
            double ns = r.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                        benchmark::GetTimeUnitMultiplier(r.time_unit);
            results_.emplace_back(r.benchmark_name(), ns);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        double base = 0;
        std::string baseName;
        for (auto& [name, ns] : results_)
            if (name.rfind("Baseline", 0) == 0) {
                base = ns;
                baseName = name;
                break;
            }
        if (base <= 0) return;
        std::printf("\nRatios against %s (%.1f ns per iteration):\n", baseName.c_str(), base);
        for (auto& [name, ns] : results_) std::printf("  %-48s %10.1f ns  %8.2fx\n", name.c_str(), ns, ns / base);
    }

private:
    std::vector<std::pair<std::string, double>> results_;
};

inline int runWithRatios(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace zv::bench

#define ZV_BENCHMARK_MAIN() \
    int main(int argc, char** argv) { return zv::bench::runWithRatios(argc, argv); }
