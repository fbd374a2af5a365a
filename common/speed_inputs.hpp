// Inputs for speed measurements, shared by `varnel-math report` and the
// benchmark suite: several blocks of pseudo-random arguments drawn from one
// domain.  A measurement walks through all blocks in turn, so a branch
// predictor that learns one block (a few thousand branches) meets new data
// in the next; replaying a single block makes branchy code look faster than
// it is.  The generator is seeded from the function and domain names, so
// our member and the platform's see the very same arguments, run after run.
#ifndef VARNEL_COMMON_SPEED_INPUTS_HPP
#define VARNEL_COMMON_SPEED_INPUTS_HPP

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "function_table.hpp"
#include "random.hpp"

namespace varnel_common {

inline constexpr std::size_t speed_block_size = 1024;
inline constexpr std::size_t speed_block_count = 16;

template <class T> struct speed_inputs {
  std::vector<T> x, y;  // block b occupies [b * block_size, (b + 1) * block_size)
  std::size_t block_size = speed_block_size;
  std::size_t block_count = speed_block_count;

  const T* x_block(std::size_t b) const { return x.data() + b * block_size; }
  const T* y_block(std::size_t b) const { return y.data() + b * block_size; }
  std::size_t calls() const { return block_size * block_count; }
};

template <class T> struct precision_of_type;
template <> struct precision_of_type<float> { static constexpr precision value = precision::single; };
template <> struct precision_of_type<double> { static constexpr precision value = precision::dbl; };
template <> struct precision_of_type<long double> { static constexpr precision value = precision::extended; };

// The members and domains of one precision.
template <class T> const member_pair<T>& members_of(const function_entry& fn);
template <> inline const member_pair<float>& members_of<float>(const function_entry& fn) { return fn.f; }
template <> inline const member_pair<double>& members_of<double>(const function_entry& fn) { return fn.d; }
template <> inline const member_pair<long double>& members_of<long double>(const function_entry& fn) { return fn.l; }

template <class T> speed_inputs<T> make_speed_inputs(const function_entry& fn, const domain& dom,
                                                     std::size_t block_count = speed_block_count) {
  speed_inputs<T> in;
  in.block_count = block_count;
  const std::size_t n = in.calls();
  in.x.resize(n);
  in.y.resize(n);
  std::uint64_t state = seed_of(std::string(fn.name) + "/" + dom.label);
  const bool two = arity_of(fn.shape) == 2;
  const eval_fn platform = members_of<T>(fn).libm.eval;
  for (std::size_t i = 0; i < n; ++i) {
    // An argument whose result is not finite (a pole of tgamma that a
    // float happens to round onto) is drawn again: in a latency chain
    // x + 0 * result would turn every later argument into a NaN.
    for (int attempt = 0;; ++attempt) {
      in.x[i] = static_cast<T>(draw(state, dom.x_lo, dom.x_hi, dom.log_uniform));
      in.y[i] = two ? static_cast<T>(draw(state, dom.y_lo, dom.y_hi, dom.log_uniform)) : T(0);
      if (integer_result(fn.shape) || attempt == 100) break;
      if (std::isfinite(platform(in.x[i], in.y[i]).value)) break;
    }
  }
  return in;
}

}  // namespace varnel_common

#endif
