// lround: round (round.hpp) converted to long under a range check.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_LROUND_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_LROUND_HPP

#include <varnel/math/special_functions/detail/rounding.hpp>
#include <varnel/math/special_functions/round.hpp>
#include <varnel/math/tools/bits.hpp>

namespace varnel::math {

// Below 2^52 (2^23) every round(x) fits a 64-bit integer, so lround and
// llround take it from the pattern (tools::round_to_integer); only a
// narrower long (32 bits on Windows) needs its range checked there.  Above
// that bound, and for a non-finite x, the floating round and the range
// check run as written.
//
// round, then the range check for long.  A non-finite x is reported twice:
// by round, whose +-max_value then fails the range check.
template <class T, class Policy> inline long lround(T x, const Policy& pol) noexcept {
  constexpr const char* function = "varnel::math::lround<%1%>(%1%)";
  if (detail::integer_rounding_applies(x))
    return detail::integer_from_pattern<long>(tools::round_to_integer(x), x, function, pol);
  const T r = varnel::math::round(x, pol);
  return detail::checked_integer<long>(r, x, function, pol);
}

}  // namespace varnel::math

#endif
