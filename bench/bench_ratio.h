#pragma once
// A main() for the benchmarks that set the project's code side by side with a
// reference: after the runs it prints, for each pair of benchmark names, the
// ratio of the project's figure to the reference's figure from this same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct BenchPair {
  std::string label;
  std::string ours;       // full benchmark name as reported
  std::string reference;  // full benchmark name as reported
  bool higherIsBetter;    // compare items per second instead of time per iteration
  std::string counter;    // a user counter compared too (empty: none)
};

// Keeps every run's figures while printing as usual.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0)
        continue;
      Figures& f = m_figures[run.benchmark_name()];
      f.secondsPerIteration = run.real_accumulated_time / static_cast<double>(run.iterations);
      const auto items = run.counters.find("items_per_second");
      f.itemsPerSecond = items != run.counters.end() ? static_cast<double>(items->second) : 0;
      f.cpuPerIteration = run.cpu_accumulated_time / static_cast<double>(run.iterations);
      for (const auto& [name, counter] : run.counters)
        f.counters[name] = static_cast<double>(counter);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios(const std::vector<BenchPair>& pairs) const {
    std::printf("\nRatios against the reference in this run:\n");
    for (const BenchPair& pair : pairs) {
      const auto ours = m_figures.find(pair.ours);
      const auto reference = m_figures.find(pair.reference);
      if (ours == m_figures.end() || reference == m_figures.end()) {
        std::printf("  %-44s not run\n", pair.label.c_str());
        continue;
      }
      const Figures& a = ours->second;
      const Figures& b = reference->second;
      if (pair.higherIsBetter) {
        std::printf("  %-36s %.3f of the reference's items/s, %.3f of its CPU per item\n",
                    pair.label.c_str(), a.itemsPerSecond / b.itemsPerSecond,
                    a.cpuPerIteration / b.cpuPerIteration);
      } else {
        std::printf("  %-36s %.3f of the reference's time\n", pair.label.c_str(),
                    a.secondsPerIteration / b.secondsPerIteration);
      }
      if (!pair.counter.empty() && a.counters.count(pair.counter) &&
          b.counters.count(pair.counter)) {
        const double x = a.counters.at(pair.counter);
        const double y = b.counters.at(pair.counter);
        std::printf("  %-36s %s: %.0f against %.0f (%.3f)\n", "", pair.counter.c_str(), x, y,
                    x / y);
      }
    }
  }

 private:
  struct Figures {
    double secondsPerIteration = 0;
    double itemsPerSecond = 0;
    double cpuPerIteration = 0;
    std::map<std::string, double> counters;
  };
  std::map<std::string, Figures> m_figures;
};

// Runs the registered benchmarks with the command line's filters and prints
// the ratios of the pairs that ran.
inline int RunBenchmarksWithRatios(int argc, char** argv, const std::vector<BenchPair>& pairs) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(pairs);
  benchmark::Shutdown();
  return 0;
}
