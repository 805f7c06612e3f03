#pragma once
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// The console figures, then each named benchmark's time as a ratio to the one it is compared
// with, against the goal: real time, and CPU time, which other programs on a busy machine
// disturb less.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  using Pair = std::pair<std::string, std::string>;  // measured, compared with
  RatioReporter(std::vector<Pair> ratios, double goal) : ratios_(std::move(ratios)), goal_(goal) {}
  // A goal of its own for the benchmark measured.
  void SetGoal(const std::string& measured, double goal) { goals_[measured] = goal; }
  // A goal in milliseconds of real time for a benchmark measured alone.
  void SetLimit(const std::string& measured, double milliseconds) {
    limits_[measured] = milliseconds;
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) {
        times_[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        milliseconds_[run.benchmark_name()] =
            run.GetAdjustedRealTime() * 1000 / benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, base] : ratios_) {
      auto time = times_.find(name);
      auto baseTime = times_.find(base);
      if (time == times_.end() || baseTime == times_.end()) continue;
      const auto [real, cpu] = time->second;
      const auto [baseReal, baseCpu] = baseTime->second;
      if (baseReal <= 0 || baseCpu <= 0) continue;
      const auto goal = goals_.find(name);
      const double most = goal == goals_.end() ? goal_ : goal->second;
      std::printf("%s / %s = %.2f real, %.2f CPU", name.c_str(), base.c_str(), real / baseReal,
                  cpu / baseCpu);
      // A goal of 0: the ratio is printed for comparing only.
      if (most > 0) std::printf(" (goal at most %g)", most);
      std::printf("\n");
    }
    for (const auto& [name, limit] : limits_) {
      const auto time = milliseconds_.find(name);
      if (time != milliseconds_.end())
        std::printf("%s = %.1f ms real (goal at most %g ms)\n", name.c_str(), time->second, limit);
    }
  }

 private:
  std::vector<Pair> ratios_;
  double goal_;
  std::map<std::string, double> goals_;
  std::map<std::string, double> limits_;
  std::map<std::string, double> milliseconds_;
  std::map<std::string, std::pair<double, double>> times_;  // real, CPU
};

// Runs the benchmarks named on the command line and prints each pair's ratio against the goal.
// limits are goals in milliseconds for benchmarks measured alone.
inline void RunComparing(int& argc, char** argv, std::vector<RatioReporter::Pair> ratios,
                         double goal, std::map<std::string, double> goals = {},
                         std::map<std::string, double> limits = {}) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(std::move(ratios), goal);
  for (const auto& [name, own] : goals) reporter.SetGoal(name, own);
  for (const auto& [name, limit] : limits) reporter.SetLimit(name, limit);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}

}  // namespace bench
