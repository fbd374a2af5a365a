// llround: round (round.hpp) converted to long long under a range check;
// below 2^52 (2^23) the rounded value is read from the bit pattern, as for
// lround (lround.hpp), and every such value fits.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_LLROUND_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_LLROUND_HPP

#include <varnel/math/special_functions/detail/rounding.hpp>
#include <varnel/math/special_functions/round.hpp>
#include <varnel/math/tools/bits.hpp>

namespace varnel::math {

template <class T, class Policy> inline long long llround(T x, const Policy& pol) noexcept {
  constexpr const char* function = "varnel::math::llround<%1%>(%1%)";
  if (detail::integer_rounding_applies(x))
    return detail::integer_from_pattern<long long>(tools::round_to_integer(x), x, function, pol);
  const T r = varnel::math::round(x, pol);
  return detail::checked_integer<long long>(r, x, function, pol);
}

}  // namespace varnel::math

#endif
