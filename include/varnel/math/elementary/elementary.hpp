// The elementary functions the families call: e^x, ln x, x^y, sin x,
// e^x - 1 and ln(1 + x).  Where they come from is the one difference
// between the library's two builds:
//
//   platform (the default): the C library's functions.  Fast, and the
//     results of the families that call them are those of the platform's
//     functions; reproducible to the bit on one C runtime.
//   portable (VARNEL_MATH_ELEMENTARY=portable, which defines
//     VARNEL_MATH_PORTABLE_ELEMENTARY): the library's own functions
//     (elementary/portable.hpp), fixed sequences of binary64
//     operations, so that every export gives the same bits and errno on
//     every IEEE 754 platform.
//
// The portable functions store no errno of their own when the families
// call them internally; expm1 and log1p, which are also exported, report
// overflow the way the platform's do.
#ifndef VARNEL_MATH_ELEMENTARY_ELEMENTARY_HPP
#define VARNEL_MATH_ELEMENTARY_ELEMENTARY_HPP

#include <cmath>

#if defined(VARNEL_MATH_PORTABLE_ELEMENTARY) && VARNEL_MATH_PORTABLE_ELEMENTARY
#include <varnel/math/elementary/portable.hpp>
#endif

namespace varnel::math::elementary {

#if defined(VARNEL_MATH_PORTABLE_ELEMENTARY) && VARNEL_MATH_PORTABLE_ELEMENTARY

inline constexpr bool portable_build = true;
// An internal call can leave errno as it found it: no save and restore.
inline constexpr bool may_store_errno = false;

inline double exp(double x) noexcept { return portable::exp(x); }
inline double log(double x) noexcept { return portable::log(x); }
inline double pow(double x, double y) noexcept { return portable::pow(x, y); }
inline double sin(double x) noexcept { return portable::sin(x); }
inline double expm1(double x) noexcept { return portable::expm1(x); }
inline float expm1(float x) noexcept { return portable::expm1(x); }
inline double log1p(double x) noexcept { return portable::log1p(x); }
inline float log1p(float x) noexcept { return portable::log1p(x); }

#else

inline constexpr bool portable_build = false;
// A C library may store ERANGE where exp underflows and so on.
inline constexpr bool may_store_errno = true;

inline double exp(double x) noexcept { return std::exp(x); }
inline double log(double x) noexcept { return std::log(x); }
inline double pow(double x, double y) noexcept { return std::pow(x, y); }
inline double sin(double x) noexcept { return std::sin(x); }
inline double expm1(double x) noexcept { return std::expm1(x); }
inline float expm1(float x) noexcept { return std::expm1(x); }
inline double log1p(double x) noexcept { return std::log1p(x); }
inline float log1p(float x) noexcept { return std::log1p(x); }

#endif

}  // namespace varnel::math::elementary

#endif
