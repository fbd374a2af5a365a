// The batch library (batch.h) timed per element on arrays of n = 4096
// arguments drawn from each function's speed domains (the catalogue's, as
// the scalar benchmark uses them), beside
//   platform   the C library's scalar function in a loop,
//   scalar     our scalar export in a loop,
//   <level>    our batch function at each level this processor has
//              (scalar, sse2, avx2, avx512f: the level tables linked in
//              directly, so that every level runs in this one process),
//   sleef      the SLEEF library's AVX2 function (1-ulp forms, where it
//              has the function),
//   libmvec    the C library's vector functions (AVX2 entry points, where
//              it has the function).
// Benchmarks are named <type>/<member>/<domain>/<side>; after the usual
// table the program prints one row per member and domain: the times, the
// AVX2 level against the platform's scalar function and against our scalar
// loop, and which vector peer is faster than our AVX2 level (they give
// other bits: ours are the scalar function's).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "batch.hpp"
#include "function_table.hpp"
#include "pair_reporter.hpp"
#include "random.hpp"
#include "speed_inputs.hpp"
#include "vector_peers.hpp"

namespace {

using namespace varnel_common;
namespace vb = varnel::math::batch;

constexpr std::size_t batch_n = 4096;

template <class T> struct arrays {
  std::vector<T> x, y;
  std::vector<long double> long_y;
};

template <class T> std::shared_ptr<const arrays<T>> draw_arrays(const function_entry& fn, const domain& d) {
  auto a = std::make_shared<arrays<T>>();
  std::uint64_t s = seed_of(std::string("batch/") + fn.name + "/" + d.label);
  for (std::size_t i = 0; i < batch_n; ++i) {
    a->x.push_back(static_cast<T>(draw(s, d.x_lo, d.x_hi, d.log_uniform)));
    a->y.push_back(static_cast<T>(draw(s, d.y_lo, d.y_hi, d.log_uniform)));
  }
  a->long_y.assign(a->y.begin(), a->y.end());
  return a;
}

// The levels this processor has, lowest first.
std::vector<const vb::level_table*> levels() {
  std::vector<const vb::level_table*> out{&vb::level_scalar};
#if VARNEL_BATCH_X86
  __builtin_cpu_init();
  out.push_back(&vb::level_sse2);
  if (__builtin_cpu_supports("avx2")) out.push_back(&vb::level_avx2);
  if (__builtin_cpu_supports("avx512f")) out.push_back(&vb::level_avx512f);
#endif
  return out;
}

// Calls a level's entry point on the arrays, by its signature.
template <class T, class R>
void call_level(std::size_t (*f)(std::size_t, const T*, R*, int*), const arrays<T>& a, void* out) {
  f(batch_n, a.x.data(), static_cast<R*>(out), nullptr);
}
template <class T, class Y>
void call_level(std::size_t (*f)(std::size_t, const T*, const Y*, T*, int*), const arrays<T>& a, void* out) {
  if constexpr (std::is_same_v<T, Y>)
    f(batch_n, a.x.data(), a.y.data(), static_cast<T*>(out), nullptr);
  else
    f(batch_n, a.x.data(), a.long_y.data(), static_cast<T*>(out), nullptr);
}

// One side, timed per element.
using side_fn = std::function<void(std::vector<unsigned char>&)>;

void register_side(const std::string& name, side_fn run) {
  benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) {
    std::vector<unsigned char> out(batch_n * sizeof(long double));
    for (auto _ : state) {
      run(out);
      benchmark::ClobberMemory();
    }
    const double elements = static_cast<double>(state.iterations()) * static_cast<double>(batch_n);
    state.counters["ns/call"] = benchmark::Counter(elements, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  });
}

// Function `name` (double or float) at one level.
template <class T>
side_fn level_side(const vb::level_table& t, const std::string& name, std::shared_ptr<const arrays<T>> a) {
#define VARNEL_BENCH_LEVEL(fname, shape, road)                                           \
  if (name == #fname) {                                                                  \
    if constexpr (std::is_same_v<T, double>) {                                           \
      const auto f = t.fname;                                                            \
      return [f, a](std::vector<unsigned char>& out) { call_level(f, *a, out.data()); }; \
    } else {                                                                             \
      const auto f = t.fname##f;                                                         \
      return [f, a](std::vector<unsigned char>& out) { call_level(f, *a, out.data()); }; \
    }                                                                                    \
  }
  VARNEL_CATALOGUE_FUNCTIONS(VARNEL_BENCH_LEVEL)
#undef VARNEL_BENCH_LEVEL
  return nullptr;
}

template <class T> side_fn loop_side(const member<T>& m, std::shared_ptr<const arrays<T>> a) {
  return [m, a](std::vector<unsigned char>& out) {
    m.throughput(a->x.data(), a->y.data(), reinterpret_cast<T*>(out.data()), batch_n);
  };
}

struct entry {
  varnel_bench::timing platform, scalar, level_scalar, level_sse2, level_avx2, level_avx512f, sleef, libmvec;
};

template <class T> void register_precision(const function_entry& fn) {
  const bool single = std::is_same_v<T, float>;
  const domain_list doms = domains_for(fn, single ? precision::single : precision::dbl);
  const member_pair<T>& pair = members_of<T>(fn);
  const std::string member = std::string(fn.name) + (single ? "f" : "");
  for (int k = 0; k < doms.count; ++k) {
    const auto a = draw_arrays<T>(fn, doms.items[k]);
    const std::string base = std::string(single ? "float/" : "double/") + member + "/" + doms.items[k].label + "/";
    register_side(base + "platform", loop_side<T>(pair.libm, a));
    register_side(base + "scalar_loop", loop_side<T>(pair.varnel, a));
    for (const vb::level_table* t : levels()) register_side(base + t->name, level_side<T>(*t, fn.name, a));
    if (const auto peer = varnel_bench::sleef_avx2<T>(fn.name)) {
      register_side(base + "sleef", [peer, a](std::vector<unsigned char>& out) {
        peer(a->x.data(), a->y.data(), reinterpret_cast<T*>(out.data()), batch_n);
      });
    }
    if (const auto peer = varnel_bench::libmvec_avx2<T>(fn.name)) {
      register_side(base + "libmvec", [peer, a](std::vector<unsigned char>& out) {
        peer(a->x.data(), a->y.data(), reinterpret_cast<T*>(out.data()), batch_n);
      });
    }
  }
}

std::string ns(double v) {
  if (v <= 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, v < 10 ? "%.2f" : "%.1f", v);
  return text;
}

class batch_reporter : public varnel_bench::pair_reporter<entry> {
 public:
  batch_reporter()
      : pair_reporter({{"platform", &entry::platform},
                       {"scalar_loop", &entry::scalar},
                       {"scalar", &entry::level_scalar},
                       {"sse2", &entry::level_sse2},
                       {"avx2", &entry::level_avx2},
                       {"avx512f", &entry::level_avx512f},
                       {"sleef", &entry::sleef},
                       {"libmvec", &entry::libmvec}}) {}

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf(
        "\nNanoseconds per element, n = %zu; ratios of our AVX2 level to the platform's scalar function and to our "
        "scalar loop\n\n",
        batch_n);
    std::printf(
        "| member | domain | platform | scalar loop | batch scalar | sse2 | avx2 | avx512f | sleef | libmvec | "
        "avx2 / platform | scalar loop / avx2 | sse2 speed-up | faster peer |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n");
    // Per member over its domains first, so that each of the functions
    // weighs the same in the means over members however many domains it has.
    struct gains {
      varnel_bench::geometric_mean sse2, avx2, avx512f;
    };
    std::map<std::string, gains> by_member;
    for (const std::string& pair : order()) {
      const entry& e = entry_of(pair);
      const std::size_t first = pair.find('/'), second = pair.find('/', first + 1);
      const std::string member = pair.substr(first + 1, second - first - 1);
      const std::string domain = pair.substr(second + 1);
      std::string faster = "ours";
      if (e.sleef > 0 && e.sleef < e.level_avx2) faster = "sleef";
      if (e.libmvec > 0 && e.libmvec < e.level_avx2 && (e.sleef <= 0 || e.libmvec < e.sleef)) faster = "libmvec";
      if (e.sleef <= 0 && e.libmvec <= 0) faster = "-";
      gains& g = by_member[member];
      if (e.level_avx2 > 0) g.avx2.add(e.scalar / e.level_avx2);
      if (e.level_sse2 > 0) g.sse2.add(e.scalar / e.level_sse2);
      if (e.level_avx512f > 0) g.avx512f.add(e.scalar / e.level_avx512f);
      std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", member.c_str(),
                  domain.c_str(), ns(e.platform).c_str(), ns(e.scalar).c_str(), ns(e.level_scalar).c_str(),
                  ns(e.level_sse2).c_str(), ns(e.level_avx2).c_str(), ns(e.level_avx512f).c_str(), ns(e.sleef).c_str(),
                  ns(e.libmvec).c_str(), e.level_avx2 > 0 ? ns(e.level_avx2 / e.platform).c_str() : "-",
                  e.level_avx2 > 0 ? ns(e.scalar / e.level_avx2).c_str() : "-",
                  e.level_sse2 > 0 ? ns(e.scalar / e.level_sse2).c_str() : "-", faster.c_str());
    }
    varnel_bench::geometric_mean avx2_gain, sse2_gain, avx512_gain;
    for (const auto& [member, g] : by_member) {
      if (g.avx2.count > 0) avx2_gain.add(g.avx2.value());
      if (g.sse2.count > 0) sse2_gain.add(g.sse2.value());
      if (g.avx512f.count > 0) avx512_gain.add(g.avx512f.value());
    }
    if (avx2_gain.count > 0) {
      std::printf("\nGeometric mean over the members of our scalar loop / batch: sse2 %.2f, avx2 %.2f",
                  sse2_gain.value(), avx2_gain.value());
      if (avx512_gain.count > 0) std::printf(", avx512f %.2f", avx512_gain.value());
      std::printf(" (%d members)\n", avx2_gain.count);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  for (const function_entry& fn : functions) {
    register_precision<double>(fn);
    register_precision<float>(fn);
  }
  benchmark::Initialize(&argc, argv);
  batch_reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
