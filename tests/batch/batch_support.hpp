// What the tests of the batch library share: the scale of the long cases,
// argument makers, bit comparisons of every result type, and the level the
// program is meant to run at.
#ifndef VARNEL_TESTS_BATCH_BATCH_SUPPORT_HPP
#define VARNEL_TESTS_BATCH_BATCH_SUPPORT_HPP

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/batch.h>

#include "random.hpp"
#include "reference_data.hpp"
#include "support/scale.hpp"

namespace varnel_batch_test {

// VARNEL_TEST_SCALE divides the counts of the long cases (support/scale.hpp).
using varnel_test::scaled;

template <class T> T from_pattern(std::uint64_t b) {
  if constexpr (std::is_same_v<T, double>) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
  } else {
    const std::uint32_t w = static_cast<std::uint32_t>(b);
    float x;
    std::memcpy(&x, &w, sizeof x);
    return x;
  }
}

// A NaN with the payload's top bits (quiet when the payload's top bit is
// set, signalling otherwise), positive or negative.
template <class T> T nan_with_payload(std::uint64_t payload, bool negative) {
  if constexpr (std::is_same_v<T, double>) {
    return from_pattern<double>((negative ? 0xFFF0000000000000ull : 0x7FF0000000000000ull) |
                                (payload & 0xFFFFFFFFFFFFFull));
  } else {
    const std::uint64_t p = (payload >> 29) & 0x7FFFFF;
    return from_pattern<float>((negative ? 0xFF800000u : 0x7F800000u) | (p != 0 ? p : 1));
  }
}

// A value of random sign, significand and binade, over every binade of T.
template <class T> T random_magnitude(std::uint64_t& s) {
  const std::uint64_t r = varnel_common::next_random(s);
  if constexpr (std::is_same_v<T, double>) {
    const std::uint64_t exponent = (r >> 52) % 2047;  // every finite binade, subnormals included
    return from_pattern<double>((r & 0x800FFFFFFFFFFFFFull) | (exponent << 52));
  } else {
    const std::uint64_t exponent = (r >> 23) % 255;
    return from_pattern<float>((r & 0x807FFFFFull) | (exponent << 23));
  }
}

template <class T> T random_pattern(std::uint64_t& s) { return from_pattern<T>(varnel_common::next_random(s)); }

// The arguments of a function's reference table, where it has one.
inline std::vector<double> reference_points(const std::string& table) {
  std::vector<double> x;
#ifdef VARNEL_REFERENCE_DIR
  const std::string path = std::string(VARNEL_REFERENCE_DIR) + "/" + table + ".tsv";
  if (!std::ifstream(path)) return x;
  for (const auto& p : varnel_common::load_reference(table)) x.push_back(p.x);
#else
  (void)table;
#endif
  return x;
}

// Bit for bit, signed zeros and NaN payloads included.
template <class R> bool bits_equal(R a, R b) { return std::memcmp(&a, &b, sizeof a) == 0; }

template <class T> std::string describe(T v) {
  char text[64];
  if constexpr (std::is_floating_point_v<T>) {
    std::snprintf(text, sizeof text, "%a", static_cast<double>(v));
  } else {
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(v));
  }
  return text;
}
inline std::string describe_long(long double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%La", v);
  return text;
}

// x and its `each` nearest values of T on either side, for every x.
template <class T> void add_with_neighbours(std::vector<T>& v, T x, int each = 2) {
  T lo = x, hi = x;
  v.push_back(x);
  for (int k = 0; k < each; ++k) {
    lo = std::nextafter(lo, -std::numeric_limits<T>::infinity());
    hi = std::nextafter(hi, std::numeric_limits<T>::infinity());
    v.push_back(lo);
    v.push_back(hi);
  }
}

// A long double strictly between x and its upper neighbour in T, where long
// double has such values; the upper neighbour otherwise.
template <class T> long double between_neighbours(T x) {
  const T up = std::nextafter(x, std::numeric_limits<T>::infinity());
  const long double mid = (static_cast<long double>(x) + static_cast<long double>(up)) / 2;
  return mid;
}

// The level this run asked for (VARNEL_MATH_ISA) or, where the processor
// lacks it, the best it has: what varnel_batch_isa must name.
inline std::string expected_level() {
  static const char* const levels[] = {"scalar", "sse2", "avx2", "avx512f"};
  int best = 0;
#if defined(__x86_64__) || defined(_M_X64)
  __builtin_cpu_init();
  best = 1;
  if (__builtin_cpu_supports("avx2")) best = 2;
  if (__builtin_cpu_supports("avx512f")) best = 3;
#endif
  int level = best;
  if (const char* wanted = std::getenv("VARNEL_MATH_ISA")) {
    for (int k = 0; k < best; ++k)
      if (std::string(wanted) == levels[k]) level = k;
  }
  return levels[level];
}

inline void expect_requested_level() { EXPECT_STREQ(varnel_batch_isa(), expected_level().c_str()); }

}  // namespace varnel_batch_test

#endif
