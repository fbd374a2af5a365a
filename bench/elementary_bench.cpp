// The library's own elementary functions (elementary/portable.hpp)
// timed beside the platform libm function of the same name, on the same
// inputs: exp, log, pow, sin, expm1, log1p, expm1f and log1pf.
//
// Benchmarks are named  elementary/<function>/<domain>/<mode>/<side>  and
// registered side by side: "varnel", ours inlined into the loop as the
// families use these header-only functions; "varnel_call", ours through a
// function that is never inlined, one call per argument; and "libm", the
// platform's function through the PLT (this file is compiled with
// -fno-builtin-<name> for the eight names, so those are real calls).  One
// iteration is one block of 1024 calls; successive iterations rotate
// through 16 blocks of pseudo-random arguments (a fixed seed per function
// and domain), so that no single block can be learnt by the branch
// predictor.  Modes: throughput makes independent calls and stores the
// results; latency feeds each result into the next argument
// (x[i] + 0 * result), so calls cannot overlap.  The counter ns/call is the
// time per call; after the table the program prints both of our ratios to
// the platform's (from the medians when --benchmark_repetitions is given),
// and their geometric means.
//
//   elementary_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <varnel/math/elementary/portable.hpp>

#include "pair_reporter.hpp"
#include "random.hpp"

namespace {

namespace el = varnel::math::elementary::portable;

constexpr std::size_t block_size = 1024;
constexpr std::size_t block_count = 16;

// Our side, twice: inline, as the families use these header-only
// functions ("varnel"), and through one out-of-line call per argument, as
// the platform's functions are called ("varnel_call").
inline double ours_exp(double x) { return el::exp(x); }
inline double ours_log(double x) { return el::log(x); }
inline double ours_pow(double x, double y) { return el::pow(x, y); }
inline double ours_sin(double x) { return el::sin(x); }
inline double ours_expm1(double x) { return el::expm1(x); }
inline double ours_log1p(double x) { return el::log1p(x); }
inline float ours_expm1f(float x) { return el::expm1(x); }
inline float ours_log1pf(float x) { return el::log1p(x); }
[[gnu::noinline]] double call_exp(double x) { return el::exp(x); }
[[gnu::noinline]] double call_log(double x) { return el::log(x); }
[[gnu::noinline]] double call_pow(double x, double y) { return el::pow(x, y); }
[[gnu::noinline]] double call_sin(double x) { return el::sin(x); }
[[gnu::noinline]] double call_expm1(double x) { return el::expm1(x); }
[[gnu::noinline]] double call_log1p(double x) { return el::log1p(x); }
[[gnu::noinline]] float call_expm1f(float x) { return el::expm1(x); }
[[gnu::noinline]] float call_log1pf(float x) { return el::log1p(x); }

// One side of a pair, as a pair of loops over a block.
template <class T> struct side {
  void (*throughput)(const T* x, const T* y, T* out, std::size_t n);
  T (*latency)(const T* x, const T* y, std::size_t n);
};

template <class T, T (*F)(T)> side<T> unary_side() {
  return {[](const T* x, const T*, T* out, std::size_t n) {
            for (std::size_t i = 0; i < n; ++i) out[i] = F(x[i]);
          },
          [](const T* x, const T*, std::size_t n) {
            T r = 0;
            for (std::size_t i = 0; i < n; ++i) r = F(x[i] + T(0) * r);
            return r;
          }};
}

template <double (*F)(double, double)> side<double> binary_side() {
  return {[](const double* x, const double* y, double* out, std::size_t n) {
            for (std::size_t i = 0; i < n; ++i) out[i] = F(x[i], y[i]);
          },
          [](const double* x, const double* y, std::size_t n) {
            double r = 0;
            for (std::size_t i = 0; i < n; ++i) r = F(x[i] + 0.0 * r, y[i]);
            return r;
          }};
}

// --- inputs ---------------------------------------------------------------

struct domain {
  const char* label;
  double lo, hi;    // x uniform, or log-uniform when log_uniform
  double ylo, yhi;  // y uniform (pow)
  bool log_uniform;
};

template <class T> struct inputs { std::vector<T> x, y; };

template <class T> std::shared_ptr<const inputs<T>> make_inputs(const std::string& name, const domain& d) {
  auto in = std::make_shared<inputs<T>>();
  std::uint64_t state = varnel_common::seed_of(name + "/" + d.label);
  const std::size_t n = block_size * block_count;
  in->x.resize(n);
  in->y.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    in->x[i] = static_cast<T>(varnel_common::draw(state, d.lo, d.hi, d.log_uniform));
    in->y[i] = static_cast<T>(varnel_common::draw(state, d.ylo, d.yhi, false));
  }
  return in;
}

// --- the table of pairs ----------------------------------------------------

template <class T> struct entry {
  const char* name;
  side<T> varnel, varnel_call, libm;
  std::vector<domain> domains;
};

std::vector<entry<double>> double_entries() {
  return {
      {"exp",
       unary_side<double, ours_exp>(),
       unary_side<double, call_exp>(),
       unary_side<double, ::exp>(),
       {{"-10:10", -10, 10, 0, 0, false}, {"-745:709", -745, 709, 0, 0, false}}},
      {"log",
       unary_side<double, ours_log>(),
       unary_side<double, call_log>(),
       unary_side<double, ::log>(),
       // 1:200 holds the arguments of acosh and asinh on their benchmark
       // domains (x + sqrt(x^2 -+ 1) for |x| up to 100).
       {{"0.5:2", 0.5, 2, 0, 0, false}, {"1:200", 1, 200, 0, 0, false}, {"1e-300:1e300", 1e-300, 1e300, 0, 0, true}}},
      // y up to 127 keeps x^y finite (261^127 ~ 8.2e306), so that latency
      // chains never carry an infinity.
      {"pow",
       binary_side<ours_pow>(),
       binary_side<call_pow>(),
       binary_side<::pow>(),
       {{"5.5:261,-0.5:127", 5.5, 261, -0.5, 127, false}}},
      {"sin",
       unary_side<double, ours_sin>(),
       unary_side<double, call_sin>(),
       unary_side<double, ::sin>(),
       {{"0:pi/2", 0, 0x1.921fb54442d18p+0, 0, 0, false}}},
      {"expm1",
       unary_side<double, ours_expm1>(),
       unary_side<double, call_expm1>(),
       unary_side<double, ::expm1>(),
       {{"-10:10", -10, 10, 0, 0, false}, {"-0.35:0.35", -0.35, 0.35, 0, 0, false}}},
      {"log1p",
       unary_side<double, ours_log1p>(),
       unary_side<double, call_log1p>(),
       unary_side<double, ::log1p>(),
       {{"-0.9:10", -0.9, 10, 0, 0, false}, {"-0.3:0.3", -0.3, 0.3, 0, 0, false}}},
  };
}

std::vector<entry<float>> float_entries() {
  return {
      {"expm1f",
       unary_side<float, ours_expm1f>(),
       unary_side<float, call_expm1f>(),
       unary_side<float, ::expm1f>(),
       {{"-10:10", -10, 10, 0, 0, false}, {"-0.35:0.35", -0.35, 0.35, 0, 0, false}}},
      {"log1pf",
       unary_side<float, ours_log1pf>(),
       unary_side<float, call_log1pf>(),
       unary_side<float, ::log1pf>(),
       {{"-0.9:10", -0.9, 10, 0, 0, false}, {"-0.3:0.3", -0.3, 0.3, 0, 0, false}}},
  };
}

enum class mode { throughput, latency };

template <class T> void run(benchmark::State& state, const inputs<T>& in, const side<T>& s, mode md) {
  std::vector<T> out(block_size);
  std::size_t b = 0;
  for (auto _ : state) {
    const T* x = in.x.data() + b * block_size;
    const T* y = in.y.data() + b * block_size;
    if (md == mode::throughput) {
      s.throughput(x, y, out.data(), block_size);
      benchmark::ClobberMemory();
    } else {
      T r = s.latency(x, y, block_size);
      benchmark::DoNotOptimize(r);
    }
    if (++b == block_count) b = 0;
  }
  const double calls = static_cast<double>(state.iterations()) * static_cast<double>(block_size);
  state.counters["ns/call"] = benchmark::Counter(calls, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <class T> void register_entries(const std::vector<entry<T>>& entries) {
  for (const entry<T>& e : entries) {
    for (const domain& d : e.domains) {
      auto in = make_inputs<T>(e.name, d);
      for (const mode md : {mode::throughput, mode::latency}) {
        const std::string stem = std::string("elementary/") + e.name + "/" + d.label + "/" +
                                 (md == mode::throughput ? "throughput" : "latency") + "/";
        for (const auto& [side_name, s] :
             {std::pair<const char*, side<T>>{"varnel", e.varnel}, {"varnel_call", e.varnel_call}, {"libm", e.libm}}) {
          benchmark::RegisterBenchmark((stem + side_name).c_str(),
                                       [in, s = s, md](benchmark::State& st) { run<T>(st, *in, s, md); });
        }
      }
    }
  }
}

// The console table, then one line per pair with the ratio.
struct pair_times {
  varnel_bench::timing ours, call, theirs;
};

class ratio_reporter : public varnel_bench::pair_reporter<pair_times> {
 public:
  ratio_reporter()
      : pair_reporter(
            {{"varnel", &pair_times::ours}, {"varnel_call", &pair_times::call}, {"libm", &pair_times::theirs}}) {}

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::ostream& out = GetOutputStream();
    char line[160];
    std::snprintf(line, sizeof line, "\n%-46s %9s %9s %9s %7s %7s\n", "pair (function/domain/mode)", "inline ns",
                  "call ns", "libm ns", "inline", "call");
    out << line;
    varnel_bench::geometric_mean inline_mean, call_mean;
    for (const std::string& pair : order()) {
      const pair_times& e = entry_of(pair);
      if (e.ours.ns <= 0 || e.call.ns <= 0 || e.theirs.ns <= 0) continue;
      const double ratio = e.ours.ns / e.theirs.ns;
      const double ratio_call = e.call.ns / e.theirs.ns;
      std::snprintf(line, sizeof line, "%-46s %9.2f %9.2f %9.2f %7.2f %7.2f\n", pair.c_str(), e.ours.ns, e.call.ns,
                    e.theirs.ns, ratio, ratio_call);
      out << line;
      inline_mean.add(ratio);
      call_mean.add(ratio_call);
    }
    if (inline_mean.count > 0) {
      std::snprintf(line, sizeof line, "geometric mean of %d ratios: %.2f inline, %.2f called\n", inline_mean.count,
                    inline_mean.value(), call_mean.value());
      out << line;
    }
    out.flush();
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  register_entries(double_entries());
  register_entries(float_entries());
  ratio_reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
