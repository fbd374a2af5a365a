// TR1 classification of floating values.  The instantiations for float,
// double and long double live in varnel_math_c99f, varnel_math_c99 and
// varnel_math_c99l respectively; link the library of the type you classify.
// long double is classified in the libraries' format: the x87 extended
// format on x86-64 Linux, binary128 on AArch64 and s390x Linux, binary64
// on Windows.
#ifndef VARNEL_MATH_TR1_HPP
#define VARNEL_MATH_TR1_HPP

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/classification.hpp>

namespace varnel::math::tr1 {

// The values fpclassify returns.  Compare with these rather than with the
// FP_ macros of <cmath>: on Windows they are the C runtime's own classes
// (FP_NAN 2, FP_INFINITE 1, FP_ZERO 0, FP_SUBNORMAL -2, FP_NORMAL -1, as a
// program built by MSVC sees them), which MinGW's headers number
// differently; on Linux they equal the C library's FP_ macros.
using varnel::math::fp_infinite;
using varnel::math::fp_nan;
using varnel::math::fp_normal;
using varnel::math::fp_subnormal;
using varnel::math::fp_zero;

// One of fp_nan, fp_infinite, fp_zero, fp_subnormal, fp_normal.
template <class T> VARNEL_MATH_API int fpclassify(T x);
template <class T> VARNEL_MATH_API bool isfinite(T x);
template <class T> VARNEL_MATH_API bool isinf(T x);
template <class T> VARNEL_MATH_API bool isnan(T x);
template <class T> VARNEL_MATH_API bool isnormal(T x);
template <class T> VARNEL_MATH_API bool signbit(T x);

template <class T> int fpclassify(T x) { return varnel::math::fpclassify(x); }
template <class T> bool isfinite(T x) { return varnel::math::isfinite(x); }
template <class T> bool isinf(T x) { return varnel::math::isinf(x); }
template <class T> bool isnan(T x) { return varnel::math::isnan(x); }
template <class T> bool isnormal(T x) { return varnel::math::isnormal(x); }
template <class T> bool signbit(T x) { return varnel::math::signbit(x) == 1; }

#define VARNEL_MATH_TR1_EXTERN(T)       \
  extern template int fpclassify<T>(T); \
  extern template bool isfinite<T>(T);  \
  extern template bool isinf<T>(T);     \
  extern template bool isnan<T>(T);     \
  extern template bool isnormal<T>(T);  \
  extern template bool signbit<T>(T);
VARNEL_MATH_TR1_EXTERN(float)
VARNEL_MATH_TR1_EXTERN(double)

#if VARNEL_MATH_WIDE_LONG_DOUBLE_CALLER
// A Windows compiler whose long double is wider than the libraries'
// binary64 one (MinGW GCC and Clang by default; see config.h).  The library's long double instantiations take a
// binary64 argument, which such a compiler would pass in another way, so they are reached through declarations that say
// so; the value is rounded to binary64 first, as the long-double library's other members do it.  Call them by argument
// deduction (tr1::isnan(x)); naming the template argument (tr1::isnan<long double>(x)) does not compile here.  Their
// decorated names are the ones the libraries' compiler gave the exports (written from the catalogue when the libraries
// were built).
#include <varnel/math/tr1_long_double_symbols.generated.h>
namespace binary64_long_double {
int fpclassify(double) __asm__(VARNEL_MATH_TR1_LONG_DOUBLE_fpclassify);
bool isfinite(double) __asm__(VARNEL_MATH_TR1_LONG_DOUBLE_isfinite);
bool isinf(double) __asm__(VARNEL_MATH_TR1_LONG_DOUBLE_isinf);
bool isnan(double) __asm__(VARNEL_MATH_TR1_LONG_DOUBLE_isnan);
bool isnormal(double) __asm__(VARNEL_MATH_TR1_LONG_DOUBLE_isnormal);
bool signbit(double) __asm__(VARNEL_MATH_TR1_LONG_DOUBLE_signbit);
}  // namespace binary64_long_double

template <> int fpclassify<long double>(long double) = delete;
template <> bool isfinite<long double>(long double) = delete;
template <> bool isinf<long double>(long double) = delete;
template <> bool isnan<long double>(long double) = delete;
template <> bool isnormal<long double>(long double) = delete;
template <> bool signbit<long double>(long double) = delete;

inline int fpclassify(long double x) { return binary64_long_double::fpclassify(static_cast<double>(x)); }
inline bool isfinite(long double x) { return binary64_long_double::isfinite(static_cast<double>(x)); }
inline bool isinf(long double x) { return binary64_long_double::isinf(static_cast<double>(x)); }
inline bool isnan(long double x) { return binary64_long_double::isnan(static_cast<double>(x)); }
inline bool isnormal(long double x) { return binary64_long_double::isnormal(static_cast<double>(x)); }
inline bool signbit(long double x) { return binary64_long_double::signbit(static_cast<double>(x)); }
#else
VARNEL_MATH_TR1_EXTERN(long double)
#endif
#undef VARNEL_MATH_TR1_EXTERN

}  // namespace varnel::math::tr1

#endif
