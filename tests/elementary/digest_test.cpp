// One digest per function of the results (bit patterns) and errno of the
// portable elementary functions over fixed arguments, the same on every
// platform, compiler and optimisation level: the arguments are made from
// integers and bit patterns only, and the functions use nothing that may
// round differently.  A failure means that some build computes other bits;
// after a deliberate change of the functions, set the new digests printed
// by the failure (and say why in the commit).
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include <varnel/math/elementary/portable.hpp>

#include "random.hpp"

namespace {

namespace el = varnel::math::elementary::portable;

struct generator {
  std::uint64_t state = 0x0123456789ABCDEFu;
  std::uint64_t next() { return varnel_common::next_random(state); }
  double unit() { return varnel_common::unit_random(state); }  // [0, 1), exact
  double any() { return from(next()); }                        // any pattern: NaNs, infinities, subnormals too
  // A pattern uniform between those of 0 <= lo < hi.
  double between(double lo, double hi) {
    const std::uint64_t a = to(lo), b = to(hi);
    return from(a + next() % (b - a + 1));
  }
  static double from(std::uint64_t b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
  }
  static std::uint64_t to(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
  }
};

struct fnv1a {
  std::uint64_t h = 0xCBF29CE484222325u;
  void add(std::uint64_t v) {
    for (int i = 0; i < 8; ++i, v >>= 8) h = (h ^ (v & 0xFF)) * 0x100000001B3u;
  }
};

// The pattern of f(x) for the float x whose pattern is p.
template <class F> std::uint64_t float_result(std::uint32_t p, F f) {
  float x;
  std::memcpy(&x, &p, sizeof x);
  const float y = f(x);
  std::uint32_t q;
  std::memcpy(&q, &y, sizeof q);
  return q;
}

// 2^18 arguments per function, mixed from the function's domain, its edges
// and (for the total functions) arbitrary patterns.
std::uint64_t digest(int f) {
  generator g;
  fnv1a h;
  for (std::uint32_t i = 0; i < (1u << 18); ++i) {
    errno = 0;
    std::uint64_t r = 0;
    const double sign = (i & 4) ? -1.0 : 1.0;
    switch (f) {
      case 0: {  // exp
        const double x = (i & 3) == 0   ? g.any()
                         : (i & 3) == 1 ? sign * g.between(0x1p-70, 746.0)
                                        : -746 + 1456 * g.unit();
        r = generator::to(el::exp(x));
        break;
      }
      case 1: {  // log
        const double x = (i & 1) ? g.any() : 0.5 + 1.5 * g.unit();
        r = generator::to(el::log(x));
        break;
      }
      case 2: {  // pow on the gamma function's box
        const double x = 5.5 + 255.5 * g.unit(), y = -0.5 + 142.5 * g.unit();
        r = generator::to(el::pow(x, y));
        break;
      }
      case 3: {  // sin on [0, pi/2]
        const double x = (i & 1) ? g.between(0.0, 0.25) : 0x1.921fb54442d18p+0 * g.unit();
        r = generator::to(el::sin(x));
        break;
      }
      case 4: {  // expm1
        const double x = (i & 3) == 0 ? g.any() : (i & 3) == 1 ? sign * g.between(0x1p-60, 800.0) : -1 + 2 * g.unit();
        r = generator::to(el::expm1(x));
        break;
      }
      case 5: {  // log1p
        const double x = (i & 3) == 0 ? g.any() : (i & 3) == 1 ? g.between(0x1p-60, 0x1p+1000) : -1 + 2 * g.unit();
        r = generator::to(el::log1p(x));
        break;
      }
      case 6:  // expm1f, every 16411th float
        r = float_result(i * 16411u + 17u, [](float x) { return el::expm1(x); });
        break;
      case 7:  // log1pf
        r = float_result(i * 16411u + 29u, [](float x) { return el::log1p(x); });
        break;
    }
    h.add(r);
    h.add(static_cast<std::uint64_t>(errno == 0 ? 0 : errno == ERANGE ? 1 : errno == EDOM ? 2 : 3));
  }
  return h.h;
}

TEST(ElementaryDigest, SameBitsEverywhere) {
  const struct {
    const char* name;
    std::uint64_t expected;
  } digests[] = {
      {"exp", 0x3a8dddf5cd756e89u},    {"log", 0xfa2ba926627c550du},    {"pow", 0xf7428ac9ed1787fau},
      {"sin", 0x63b48f96219c4183u},    {"expm1", 0xe8472bdfda149fb5u},  {"log1p", 0x883f8cf3f51d858cu},
      {"expm1f", 0x4c23a35b94c25fd9u}, {"log1pf", 0x41e01832cd36eaf2u},
  };
  for (int f = 0; f < 8; ++f) {
    const std::uint64_t d = digest(f);
    EXPECT_EQ(d, digests[f].expected) << digests[f].name << ": 0x" << std::hex << d;
  }
}

}  // namespace
