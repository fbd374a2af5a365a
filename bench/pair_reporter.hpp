// The console reporter both benchmark programs share: the usual table, and
// behind it the ns/call of every run named "<pair>/<side>", gathered into
// one entry per pair for the ratio tables that each program prints in its
// Finalize.
#ifndef VARNEL_BENCH_PAIR_REPORTER_HPP
#define VARNEL_BENCH_PAIR_REPORTER_HPP

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace varnel_bench {

// One side's time per call; 0 where the side did not run.
struct timing {
  double ns = 0;
  bool from_median = false;
  operator double() const { return ns; }
};

// The geometric mean of the ratios added.
struct geometric_mean {
  double log_sum = 0;
  int count = 0;
  void add(double ratio) {
    log_sum += std::log(ratio);
    ++count;
  }
  double value() const { return std::exp(log_sum / count); }
};

// Entry is a struct of timing members; the slots map each side's name to
// its member.  Runs of sides without a slot are shown but not gathered.
template <class Entry> class pair_reporter : public benchmark::ConsoleReporter {
 public:
  using slots = std::map<std::string, timing Entry::*>;

  // Colour only on a terminal: a reporter of one's own does not receive the
  // library's --benchmark_color handling.
  explicit pair_reporter(slots s) : ConsoleReporter(isatty(1) ? OO_ColorTabular : OO_Tabular), slots_(std::move(s)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const auto counter = run.counters.find("ns/call");
      if (counter == run.counters.end()) continue;
      const std::string name = run.run_name.str();
      const std::size_t slash = name.rfind('/');
      const std::string pair = name.substr(0, slash);
      const auto slot = slots_.find(name.substr(slash + 1));
      if (slot == slots_.end()) continue;
      if (std::find(order_.begin(), order_.end(), pair) == order_.end()) order_.push_back(pair);
      // A median, once there is one, wins over the single repetitions.
      timing& t = pairs_[pair].*(slot->second);
      if (median || !t.from_median) {
        t.ns = counter->second.value * 1e9;
        t.from_median = median;
      }
    }
  }

 protected:
  // The pairs in the order they first ran, and each one's entry.
  const std::vector<std::string>& order() const { return order_; }
  const Entry& entry_of(const std::string& pair) { return pairs_[pair]; }

 private:
  slots slots_;
  std::vector<std::string> order_;
  std::map<std::string, Entry> pairs_;
};

}  // namespace varnel_bench

#endif  // VARNEL_BENCH_PAIR_REPORTER_HPP
