// The pseudo-random numbers of varnel-math's speed inputs, the benchmarks
// and the tests that draw arguments: splitmix64, the same sequence on every
// platform and compiler, seeded from a name so that every run (and both
// sides of a comparison) sees the very same arguments.
#ifndef VARNEL_COMMON_RANDOM_HPP
#define VARNEL_COMMON_RANDOM_HPP

#include <cmath>
#include <cstdint>
#include <string>

namespace varnel_common {

// splitmix64: advances state and returns the next 64 bits.
inline std::uint64_t next_random(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

// A double uniform on [0, 1): the top 53 bits of the next number, exactly.
inline double unit_random(std::uint64_t& state) { return static_cast<double>(next_random(state) >> 11) * 0x1p-53; }

// A double on [lo, hi]: uniform, or log-uniform for 0 < lo < hi.
inline double draw(std::uint64_t& state, double lo, double hi, bool log_uniform) {
  const double u = unit_random(state);
  if (log_uniform && lo > 0) return std::exp(std::log(lo) + (std::log(hi) - std::log(lo)) * u);
  return lo + (hi - lo) * u;
}

// The seed for a name (FNV-1a of its bytes).
inline std::uint64_t seed_of(const std::string& text) {
  std::uint64_t h = 0xCBF29CE484222325u;
  for (const char c : text) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
  return h;
}

}  // namespace varnel_common

#endif  // VARNEL_CLI_RANDOM_HPP
