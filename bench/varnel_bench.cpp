// Every C export of the three math libraries timed beside the platform libm
// function of the same name, on the same inputs.
//
// Benchmarks are named  <type>/<member>/<domain>/<mode>/<side>,  for
// example double/tgamma/0:170/throughput/varnel and
// double/tgamma/0:170/throughput/libm, and are registered in adjacent pairs.  One benchmark iteration is one block of
// inputs; successive iterations walk through all blocks (see
// cli/speed_inputs.hpp), so no single block can be learnt by the branch
// predictor.  Modes:
//   throughput  independent calls, results stored;
//   latency     each argument waits for the previous result
//               (x[i] + 0 * result), so calls cannot overlap.
// The counter ns/call is the time per call.  After the usual table, the
// program prints every pair's ratio (ours / the platform's), taken from the
// median aggregate when --benchmark_repetitions is given; then lgamma, erf
// and erfc against their floor, the platform calls their algorithms make
// (see lgamma_floor and erf_floor); then the float and long double members
// against their double member, beside the platform's own float / double
// ratio and what the long double calling convention alone costs the
// platform's double functions (see abi_floor.h).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <ostream>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "abi_floor.h"
#include "function_table.hpp"
#include "pair_reporter.hpp"
#if VARNEL_BENCH_PORTABLE_TWIN
#include "portable_twin.hpp"
#endif
#include "speed_inputs.hpp"

namespace {

using namespace varnel_common;

enum class mode { throughput, latency };

template <class T> void run_member(benchmark::State& state, const speed_inputs<T>& in, const member<T>& m, mode md) {
  std::vector<T> out(in.block_size);
  std::size_t b = 0;
  for (auto _ : state) {
    if (md == mode::throughput) {
      m.throughput(in.x_block(b), in.y_block(b), out.data(), in.block_size);
      benchmark::ClobberMemory();
    } else {
      T r = m.latency(in.x_block(b), in.y_block(b), in.block_size);
      benchmark::DoNotOptimize(r);
    }
    if (++b == in.block_count) b = 0;
  }
  // Seconds per call (a rate, inverted); the console shows it as e.g. "12.3n".
  const double calls = static_cast<double>(state.iterations()) * static_cast<double>(in.block_size);
  state.counters["ns/call"] = benchmark::Counter(calls, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The platform's double function behind the long double signature of each
// member, by function name (abi_floor.h).
struct abi_entry {
  const char* name;
  member<long double> via_double;
};

#define VARNEL_BENCH_ENTRY(name, shape, road)                                                                 \
  abi_entry{#name, varnel_common::detail::member_of<long double, decltype(&varnel_bench_##name##_via_double), \
                                                    &varnel_bench_##name##_via_double>()},
const abi_entry abi_entries[] = {VARNEL_CATALOGUE_FUNCTIONS(VARNEL_BENCH_ENTRY)};
#undef VARNEL_BENCH_ENTRY

const member<long double>* via_double_of(const function_entry& fn) {
  for (const abi_entry& e : abi_entries)
    if (std::string(e.name) == fn.name) return &e.via_double;
  return nullptr;
}

// --- The floor of lgamma ------------------------------------------------
// lgamma makes platform calls that its algorithm fixes: up to twelve log
// calls for the recurrence below 15, tgamma's log, pow and exp and one more
// log from 15 to 100, and one or two logs from 100 up.  lgamma_floor makes
// the same calls, with the same branches deciding them, and nothing else,
// so that ours / floor shows what the rest of the algorithm adds.  The
// arguments only resemble the algorithm's; the cost of these functions
// hardly depends on them.

double lgamma_floor(double z) {
  if (z < 0x1p-26) return std::log(std::fabs(z));
  if (z < 15) {
    double s = 0;
    if (z < 1) {
      s = std::log(z);
    } else {
      for (double t = z; t >= 3;) {
        t -= 1;
        s += std::log(t);
      }
    }
    return s;
  }
  const double zgh = (z + 0x1.81945b98p+2) - 0.5;  // z + g - 1/2
  if (z < 100) {
    if (std::floor(z) == z) return std::log(z);  // factorial table, then log
    const double l = std::log(zgh);
    return std::log(std::pow(zgh, z - 0.5) / std::exp(zgh)) + l;
  }
  double r = (std::log(zgh) - 1) * (z - 0.5);
  if (r * 0x1p-52 < 20) r += std::log(zgh * 0x1p-60);
  return r;
}

// --- The floor of erf and erfc ------------------------------------------
// Below 0.5 and beyond the cut-off no platform call; from 0.5 to 1.5 one
// exp, from 1.5 on two (the second for the rounding error of x*x), each
// followed by the division by x.  The floor makes those calls, decided by
// the same comparisons, and nothing else.

template <bool complement> double erf_floor(double x) {
  x = std::fabs(x);
  if (x < 0.5 || !(x < (complement ? 28.0 : 0x1.7b851ep+2))) return x;
  if (x < 1.5) return std::exp(-x * x) / x;
  return (std::exp(-x * x) * std::exp(x * 0x1p-60)) / x;
}

// The floor of a double member that has one.  Its side ("floor") runs right
// beside the member's pair, so that the three see the same clock.
const member<double>* floor_of(const function_entry& fn) {
  using varnel_common::detail::member_of;
  using unary = double (*)(double);
  static const member<double> lgamma = member_of<double, unary, &lgamma_floor>();
  static const member<double> erf = member_of<double, unary, &erf_floor<false>>();
  static const member<double> erfc = member_of<double, unary, &erf_floor<true>>();
  const std::string name = fn.name;
  return name == "lgamma" ? &lgamma : name == "erf" ? &erf : name == "erfc" ? &erfc : nullptr;
}

// The portable build's member of fn, where the benchmark links that build
// beside this one (see portable_twin.hpp): the side "portable".
template <class T> std::shared_ptr<const member<T>> portable_of(const function_entry& fn) {
#if VARNEL_BENCH_PORTABLE_TWIN
  const int index = static_cast<int>(&fn - functions);
  varnel_bench::twin_loops<T> loops{};
  if constexpr (std::is_same_v<T, float>)
    loops = varnel_bench::portable_twin_float(index);
  else if constexpr (std::is_same_v<T, double>)
    loops = varnel_bench::portable_twin_double(index);
  else
    loops = varnel_bench::portable_twin_long_double(index);
  return std::make_shared<const member<T>>(member<T>{nullptr, loops.throughput, loops.latency});
#else
  (void)fn;
  return nullptr;
#endif
}

// The paths of lgamma on their own, beside its speed domains (and out of
// the geometric mean).
constexpr domain lgamma_path_domains[] = {{"path0:15", 0, 15, 0, 0, false},
                                          {"path15:100", 15, 100, 0, 0, false},
                                          {"path100:1e3", 100, 1e3, 0, 0, false},
                                          {"path1e3:2.6e15", 1e3, 2.6e15, 0, 0, true}};

template <class U> void register_side(const std::string& name, const std::shared_ptr<const speed_inputs<U>>& inputs,
                                      const member<U>& m, mode md) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [inputs, m, md](benchmark::State& state) { run_member<U>(state, *inputs, m, md); });
}

// Every member has the sides "varnel" and "libm".  A double member with a
// floor adds "floor"; float and long double members add our double export
// and the platform's double function on the same domain ("varnel_double",
// "libm_double"), and long double members "abi", the platform's double
// function behind the long double signature.  All sides of a domain run
// one right after the other, so that they see the same state of the
// machine's clock.
template <class T> void register_precision(const function_entry& fn) {
  constexpr bool is_double = std::is_same_v<T, double>;
  const precision p = precision_of_type<T>::value;
  const domain_list listed = domains_for(fn, p);
  std::vector<domain> doms(listed.items, listed.items + listed.count);
  if (is_double && std::string(fn.name) == "lgamma")
    doms.insert(doms.end(), std::begin(lgamma_path_domains), std::end(lgamma_path_domains));
  const member_pair<T>& pair = members_of<T>(fn);
  const std::shared_ptr<const member<T>> portable = portable_of<T>(fn);
  const member<T>* via_double = nullptr;
  if constexpr (std::is_same_v<T, long double>) via_double = via_double_of(fn);
  const std::string type = p == precision::single ? "float" : is_double ? "double" : "long_double";
  for (const domain& dom : doms) {
    auto inputs = std::make_shared<const speed_inputs<T>>(make_speed_inputs<T>(fn, dom));
    std::shared_ptr<const speed_inputs<double>> double_inputs;
    if constexpr (!is_double)
      double_inputs = std::make_shared<const speed_inputs<double>>(make_speed_inputs<double>(fn, dom));
    for (const mode md : {mode::throughput, mode::latency}) {
      const std::string stem = type + "/" + member_name(fn, p) + "/" + dom.label + "/" +
                               (md == mode::throughput ? "throughput" : "latency") + "/";
      register_side(stem + "varnel", inputs, pair.varnel, md);
      register_side(stem + "libm", inputs, pair.libm, md);
      if (portable) register_side(stem + "portable", inputs, *portable, md);
      if (via_double != nullptr) register_side(stem + "abi", inputs, *via_double, md);
      if constexpr (is_double) {
        if (const member<double>* floor = floor_of(fn)) register_side(stem + "floor", inputs, *floor, md);
      } else {
        register_side(stem + "varnel_double", double_inputs, fn.d.varnel, md);
        register_side(stem + "libm_double", double_inputs, fn.d.libm, md);
      }
    }
  }
}

// The console table as usual, then the ratio tables.
struct pair_times {
  varnel_bench::timing ours, theirs, floor, abi, ours_double, theirs_double, portable;
};

class ratio_reporter : public varnel_bench::pair_reporter<pair_times> {
 public:
  ratio_reporter()
      : pair_reporter({{"varnel", &pair_times::ours},
                       {"libm", &pair_times::theirs},
                       {"floor", &pair_times::floor},
                       {"abi", &pair_times::abi},
                       {"varnel_double", &pair_times::ours_double},
                       {"libm_double", &pair_times::theirs_double},
                       {"portable", &pair_times::portable}}) {}

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::ostream& out = GetOutputStream();
    char line[160];
    std::snprintf(line, sizeof line, "\n%-48s %12s %12s %8s\n", "pair (type/member/domain/mode)", "varnel ns",
                  "libm ns", "ratio");
    out << line;
    varnel_bench::geometric_mean mean;
    for (const std::string& pair : order()) {
      const pair_times& e = entry_of(pair);
      if (e.ours <= 0 || e.theirs <= 0) continue;
      // The lgamma path domains are extra views of one function: they stay
      // out of the mean.
      const bool path = pair.find("/path") != std::string::npos;
      const double ratio = e.ours / e.theirs;
      std::snprintf(line, sizeof line, "%-48s %12.2f %12.2f %8.2f\n", pair.c_str(), e.ours.ns, e.theirs.ns, ratio);
      out << line;
      if (path) continue;
      mean.add(ratio);
    }
    if (mean.count > 0) {
      std::snprintf(line, sizeof line, "geometric mean of %d ratios (lgamma path domains left out): %.2f\n", mean.count,
                    mean.value());
      out << line;
    }
    bool heading = false;
    for (const std::string& pair : order()) {
      const pair_times& e = entry_of(pair);
      if (e.ours <= 0 || e.floor <= 0) continue;
      if (!heading) {
        std::snprintf(line, sizeof line, "\n%-48s %12s %12s %8s\n", "against the floor (the platform calls made)",
                      "varnel ns", "floor ns", "ratio");
        out << line;
        heading = true;
      }
      std::snprintf(line, sizeof line, "%-48s %12.2f %12.2f %8.2f\n", pair.c_str(), e.ours.ns, e.floor.ns,
                    e.ours / e.floor);
      out << line;
    }
    // Float and long double members against their double member (same
    // domain and mode, run beside them), and the same ratio for the
    // platform: for float its float function against its double function;
    // for long double its double function behind the long double signature
    // against that function called directly, the calling convention's own
    // share.
    for (const char* type : {"float/", "long_double/"}) {
      const bool narrow = type[0] == 'f';
      heading = false;
      for (const std::string& pair : order()) {
        if (pair.rfind(type, 0) != 0) continue;
        const pair_times& e = entry_of(pair);
        const varnel_bench::timing& platform = narrow ? e.theirs : e.abi;
        if (e.ours <= 0 || platform <= 0 || e.ours_double <= 0 || e.theirs_double <= 0) continue;
        if (!heading) {
          std::snprintf(line, sizeof line, "\n%-48s %9s %9s %6s %9s %9s %6s\n",
                        narrow ? "float against double" : "long double against double", narrow ? "ours f" : "ours l",
                        "ours d", "ratio", narrow ? "libm f" : "libm abi", "libm d", "ratio");
          out << line;
          heading = true;
        }
        std::snprintf(line, sizeof line, "%-48s %9.2f %9.2f %6.2f %9.2f %9.2f %6.2f\n", pair.c_str(), e.ours.ns,
                      e.ours_double.ns, e.ours / e.ours_double, platform.ns, e.theirs_double.ns,
                      platform / e.theirs_double);
        out << line;
      }
    }
    // The portable build's exports against this build's, run beside them.
    heading = false;
    varnel_bench::geometric_mean portable_mean;
    for (const std::string& pair : order()) {
      const pair_times& e = entry_of(pair);
      if (e.ours <= 0 || e.portable <= 0) continue;
      if (!heading) {
        std::snprintf(line, sizeof line, "\n%-48s %12s %12s %8s\n", "portable build against this build", "portable ns",
                      "varnel ns", "ratio");
        out << line;
        heading = true;
      }
      std::snprintf(line, sizeof line, "%-48s %12.2f %12.2f %8.2f\n", pair.c_str(), e.portable.ns, e.ours.ns,
                    e.portable / e.ours);
      out << line;
      if (pair.find("/path") == std::string::npos) {
        portable_mean.add(e.portable / e.ours);
      }
    }
    if (portable_mean.count > 0) {
      std::snprintf(line, sizeof line, "geometric mean of %d ratios: %.2f\n", portable_mean.count,
                    portable_mean.value());
      out << line;
    }
    out.flush();
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  for (const function_entry& fn : functions) register_precision<double>(fn);
  for (const function_entry& fn : functions) register_precision<float>(fn);
  for (const function_entry& fn : functions) register_precision<long double>(fn);
  ratio_reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
