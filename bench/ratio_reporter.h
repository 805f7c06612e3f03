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

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration)
        times_[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
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
      std::printf("%s / %s = %.2f real, %.2f CPU (goal at most %g)\n", name.c_str(),
                  base.c_str(), real / baseReal, cpu / baseCpu,
                  goal == goals_.end() ? goal_ : goal->second);
    }
  }

 private:
  std::vector<Pair> ratios_;
  double goal_;
  std::map<std::string, double> goals_;
  std::map<std::string, std::pair<double, double>> times_;  // real, CPU
};

// Runs the benchmarks named on the command line and prints each pair's ratio against the goal.
inline void RunComparing(int& argc, char** argv, std::vector<RatioReporter::Pair> ratios,
                         double goal, std::map<std::string, double> goals = {}) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(std::move(ratios), goal);
  for (const auto& [name, own] : goals) reporter.SetGoal(name, own);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}

}  // namespace bench
