#include "golden/digest.hpp"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include <varnel/math/c99.h>
#include <varnel/math/tools/layouts.hpp>
#include <varnel/math/tr1.hpp>

#include "support/surface.hpp"
#include "support/bits.hpp"
#include "support/values.hpp"

namespace varnel_test {
namespace {

// The hash of every value's bytes in little-endian order, whatever the
// machine's: an integer of n bytes, least significant byte first, and a
// floating value as its pattern (pattern_of: x87 as its significand and
// then its sign and exponent, binary128 as its low word and then its high
// word).  On a little-endian machine that is the order of the bytes in
// memory, so the digests recorded there stand as they were; a big-endian
// machine hashes the same values into the same digests.
struct fnv1a {
  std::uint64_t h = 0xcbf29ce484222325u;
  void integer(std::uint64_t v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, v >>= 8) h = (h ^ (v & 0xFF)) * 0x100000001b3u;
  }
  template <class T> void value(T v) {
    if constexpr (std::is_same_v<T, long double>) {
      const long_double_pattern p = pattern_of(v);
      if constexpr (varnel::math::tools::long_double_is_x87) {
        // The 80 meaningful bits only; the padding bytes are unspecified.
        integer(p.low, 8);
        integer(p.high, 2);
      } else if constexpr (varnel::math::tools::long_double_is_binary128) {
        integer(p.low, 8);
        integer(p.high, 8);
      } else {
        integer(p.low, 8);
      }
    } else if constexpr (std::is_same_v<T, double>) {
      integer(bits_of(v), 8);
    } else if constexpr (std::is_same_v<T, float>) {
      integer(bits_of(v), 4);
    } else {
      static_assert(std::is_integral_v<T>, "integers and floating values");
      // Two's complement: the low n bytes of the widened value are its
      // pattern (bool: 0 or 1 in one byte).
      integer(static_cast<std::uint64_t>(v), sizeof v);
    }
  }
};

// The same inputs for every run: a fixed seed per export.
std::vector<double> doubles_for(const std::string& name, std::size_t n) {
  std::vector<double> v = special_doubles();
  std::seed_seq seq(name.begin(), name.end());
  std::mt19937_64 rng(seq);
  std::uniform_real_distribution<double> moderate(-200.0, 200.0);
  std::uniform_int_distribution<int> binade(-1074, 1023);
  for (std::size_t i = 0; i < n; ++i) {
    switch (i % 3) {
      case 0:
        v.push_back(from_bits(rng()));
        break;
      case 1:
        v.push_back(moderate(rng));
        break;
      default: {
        // One draw per statement, so every compiler draws in this order.
        const double m = std::ldexp(static_cast<double>(rng() >> 11), -53);  // [0, 1)
        const double sign = rng() & 1 ? -1 : 1;
        const int e = binade(rng);
        v.push_back(sign * std::ldexp(1 + m, e));
      }
    }
  }
  return v;
}

std::vector<float> floats_for(const std::string& name, std::size_t n) {
  std::vector<float> v;
  for (double x : special_doubles()) v.push_back(static_cast<float>(x));
  std::seed_seq seq(name.begin(), name.end());
  std::mt19937 rng(seq);
  std::uniform_real_distribution<float> moderate(-200.0f, 200.0f);
  for (std::size_t i = 0; i < n; ++i)
    v.push_back(i % 2 ? from_bits32(static_cast<std::uint32_t>(rng())) : moderate(rng));
  return v;
}

// Long double inputs: the binary64 ones, plus, where long double is wider
// (x87, binary128), native values a double cannot hold (beyond its range,
// between its neighbours, below its smallest subnormal; in x87 also
// invalid encodings).
std::vector<long double> long_doubles_for(const std::string& name, std::size_t n) {
  std::vector<long double> v;
  for (double x : doubles_for(name, n)) v.push_back(x);
  if (varnel::math::tools::long_double_is_binary128) {
    std::seed_seq seq(name.begin(), name.end());
    std::mt19937_64 rng(seq);
    for (std::size_t i = 0; i < n / 10; ++i) {
      // Random patterns: every exponent, NaNs and infinities among them.
      const std::uint64_t high = rng();
      const std::uint64_t low = rng();
      v.push_back(from_pattern({high, low}));
    }
    // 1e4000 and 1e-4000, 2^1024 - 2^970 (halfway from the largest double
    // to 2^1024) and its neighbours, the long doubles next to 1, half of
    // binary64's smallest subnormal and the smallest subnormal.
    const long double binary64_midpoint = long_double_from(0x3FFF + 1023, 0xFFFFFFFFFFFFFC00u);
    for (long double x :
         {1e4000L, -1e4000L, 1e-4000L, 1 + 0x1p-60L, binary64_midpoint, std::nextafter(binary64_midpoint, 0.0L),
          std::nextafter(binary64_midpoint, HUGE_VALL), std::nextafter(1.0L, 2.0L), std::nextafter(1.0L, 0.0L),
          0x1p-1075L, std::numeric_limits<long double>::denorm_min()})
      v.push_back(x);
    return v;
  }
  if (!varnel::math::tools::long_double_is_x87) return v;
  std::seed_seq seq(name.begin(), name.end());
  std::mt19937_64 rng(seq);
  for (std::size_t i = 0; i < n / 10; ++i) {
    // Two statements: the order of evaluation of function arguments is
    // unspecified, and compilers differ.
    const auto sign_exponent = static_cast<std::uint16_t>(rng());
    v.push_back(x87_from(sign_exponent, rng()));
  }
  // 1e4000 and 1e-4000 rounded to x87, and 2^1024 - 2^970, halfway from the
  // largest double to 2^1024 (as patterns: binary64 has no such values).
  const long double huge = x87_from(0x73E6, 0xD1BA8323FE558C61u);
  const long double tiny = x87_from(0x0C17, 0x9C3D73864F3805C0u);
  const long double binary64_midpoint = x87_from(0x3FFF + 1023, 0xFFFFFFFFFFFFFC00u);
  for (long double x : {huge, -huge, tiny, 1 + 0x1p-60L, binary64_midpoint}) v.push_back(x);
  return v;
}

template <class R, class F, class... A> void fold(fnv1a& h, F f, A... args) {
  errno = 0;
  const R r = f(args...);
  const int e = errno;
  h.value(r);
  h.value(e);
}

}  // namespace

std::vector<export_digest> compute_digests(std::size_t n) {
  std::vector<export_digest> out;
  auto add = [&](const std::string& name, std::size_t count, const fnv1a& h) { out.push_back({name, h.h, count}); };
  for (const auto& e : unary_exports) {
    const std::string name = e.name;
    const auto d = doubles_for(name, n);
    const auto f = floats_for(name + "f", n);
    const auto l = long_doubles_for(name + "l", n);
    fnv1a hd, hf, hl;
    for (double x : d) fold<double>(hd, e.d, x);
    for (float x : f) fold<float>(hf, e.f, x);
    for (long double x : l) fold<long double>(hl, e.l, x);
    add("varnel_" + name, d.size(), hd);
    add("varnel_" + name + "f", f.size(), hf);
    add("varnel_" + name + "l", l.size(), hl);
  }
  for (const auto& e : binary_exports) {
    const std::string name = e.name;
    const auto d = doubles_for(name, n);
    const auto f = floats_for(name + "f", n);
    const auto l = long_doubles_for(name + "l", n);
    fnv1a hd, hf, hl;
    // Pairs: every input against a partner further along the list, so
    // specials meet specials and random values.
    for (std::size_t i = 0; i < d.size(); ++i) fold<double>(hd, e.d, d[i], d[(i * 7919 + 13) % d.size()]);
    for (std::size_t i = 0; i < f.size(); ++i) fold<float>(hf, e.f, f[i], f[(i * 7919 + 13) % f.size()]);
    for (std::size_t i = 0; i < l.size(); ++i) fold<long double>(hl, e.l, l[i], l[(i * 7919 + 13) % l.size()]);
    add("varnel_" + name, d.size(), hd);
    add("varnel_" + name + "f", f.size(), hf);
    add("varnel_" + name + "l", l.size(), hl);
  }
  // A long long member folds over the inputs of its long sibling
  // (llround over lround's), as the digests were first recorded.
  auto add_integer = [&](const auto& e, const std::string& seed) {
    using R = decltype(e.d(0.0));
    const auto d = doubles_for(seed, n);
    const auto f = floats_for(seed + "f", n);
    const auto l = long_doubles_for(seed + "l", n);
    fnv1a hd, hf, hl;
    for (double v : d) fold<R>(hd, e.d, v);
    for (float v : f) fold<R>(hf, e.f, v);
    for (long double v : l) fold<R>(hl, e.l, v);
    add("varnel_" + std::string(e.name), d.size(), hd);
    add("varnel_" + std::string(e.name) + "f", f.size(), hf);
    add("varnel_" + std::string(e.name) + "l", l.size(), hl);
  };
  for (const auto& e : to_long_exports) add_integer(e, e.name);
  for (const auto& e : to_llong_exports) add_integer(e, std::string(e.name).substr(1));
  // y is long double: every input against a long double partner.
  for (const auto& e : toward_exports) {
    const std::string name = e.name;
    const auto d = doubles_for(name, n);
    const auto f = floats_for(name + "f", n);
    const auto l = long_doubles_for(name + "l", n);
    fnv1a hd, hf, hl;
    for (std::size_t i = 0; i < d.size(); ++i) fold<double>(hd, e.d, d[i], l[(i * 7919 + 13) % l.size()]);
    for (std::size_t i = 0; i < f.size(); ++i) fold<float>(hf, e.f, f[i], l[(i * 7919 + 13) % l.size()]);
    for (std::size_t i = 0; i < l.size(); ++i) fold<long double>(hl, e.l, l[i], l[(i * 7919 + 13) % l.size()]);
    add("varnel_" + name, d.size(), hd);
    add("varnel_" + name + "f", f.size(), hf);
    add("varnel_" + name + "l", l.size(), hl);
  }
  {
    namespace tr1 = varnel::math::tr1;
    const auto d = doubles_for("tr1", n);
    const auto f = floats_for("tr1f", n);
    const auto l = long_doubles_for("tr1l", n);
    fnv1a hd, hf, hl;
    for (double x : d) {
      fold<int>(hd, tr1::fpclassify<double>, x);
      fold<bool>(hd, tr1::isfinite<double>, x);
      fold<bool>(hd, tr1::isinf<double>, x);
      fold<bool>(hd, tr1::isnan<double>, x);
      fold<bool>(hd, tr1::isnormal<double>, x);
      fold<bool>(hd, tr1::signbit<double>, x);
    }
    for (float x : f) {
      fold<int>(hf, tr1::fpclassify<float>, x);
      fold<bool>(hf, tr1::isfinite<float>, x);
      fold<bool>(hf, tr1::isinf<float>, x);
      fold<bool>(hf, tr1::isnan<float>, x);
      fold<bool>(hf, tr1::isnormal<float>, x);
      fold<bool>(hf, tr1::signbit<float>, x);
    }
    for (long double x : l) {
      fold<int>(hl, tr1::fpclassify<long double>, x);
      fold<bool>(hl, tr1::isfinite<long double>, x);
      fold<bool>(hl, tr1::isinf<long double>, x);
      fold<bool>(hl, tr1::isnan<long double>, x);
      fold<bool>(hl, tr1::isnormal<long double>, x);
      fold<bool>(hl, tr1::signbit<long double>, x);
    }
    add("tr1<double>", d.size(), hd);
    add("tr1<float>", f.size(), hf);
    add("tr1<long double>", l.size(), hl);
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> platform_facts() {
#if defined(_WIN32)
  const std::string system = "windows";
#elif defined(__linux__)
  const std::string system = "linux";
#else
  const std::string system = "unknown";
#endif
#if defined(__x86_64__) || defined(_M_X64)
  const std::string processor = "x86_64";
#elif defined(__aarch64__)
  const std::string processor = "aarch64";
#elif defined(__s390x__)
  const std::string processor = "s390x";
#else
  const std::string processor = "unknown";
#endif
#if defined(VARNEL_MATH_PORTABLE_ELEMENTARY)
  const std::string build = "portable";
#else
  const std::string build = "platform";
#endif
  namespace tools = varnel::math::tools;
  const std::string long_double = tools::long_double_is_x87         ? "x87"
                                  : tools::long_double_is_binary128 ? "binary128"
                                                                    : "binary64";
  namespace tr1 = varnel::math::tr1;
  const std::string classes = std::to_string(tr1::fp_nan) + "," + std::to_string(tr1::fp_infinite) + "," +
                              std::to_string(tr1::fp_zero) + "," + std::to_string(tr1::fp_subnormal) + "," +
                              std::to_string(tr1::fp_normal);
  return {{"platform", system + "-" + processor},
          {"build", build},
          {"long", std::to_string(sizeof(long) * 8)},
          {"long-double", long_double},
          {"classes", classes}};
}

std::string facts_line() {
  std::string line = "# facts:";
  for (const auto& f : platform_facts()) line += " " + f.first + "=" + f.second;
  return line;
}

}  // namespace varnel_test
