// Mathematical constants: each is the binary64 number nearest the true value.
#ifndef VARNEL_MATH_CONSTANTS_HPP
#define VARNEL_MATH_CONSTANTS_HPP

namespace varnel::math::constants {

template <class T> constexpr T ln2() noexcept { return static_cast<T>(0x1.62e42fefa39efp-1); }  // 0.6931471805599453
template <class T> constexpr T pi() noexcept { return static_cast<T>(0x1.921fb54442d18p+1); }   // 3.141592653589793
template <class T> constexpr T euler_mascheroni() noexcept {
  return static_cast<T>(0x1.2788cfc6fb619p-1);
}  // 0.5772156649015329
template <class T> constexpr T one_half() noexcept { return static_cast<T>(0.5); }

}  // namespace varnel::math::constants

#endif
