// TR1 classification of floating values.  The instantiations for float,
// double and long double live in varnel_math_c99f, varnel_math_c99 and
// varnel_math_c99l respectively; link the library of the type you classify.
// long double is classified in the libraries' format: the x87 extended
// format on Linux, binary64 on Windows.
#ifndef VARNEL_MATH_TR1_HPP
#define VARNEL_MATH_TR1_HPP

#include <varnel/math/c99.h>
#include <varnel/math/special_functions/fpclassify.hpp>

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

#define VARNEL_MATH_TR1_EXTERN(T)          \
  extern template int fpclassify<T>(T);    \
  extern template bool isfinite<T>(T);     \
  extern template bool isinf<T>(T);        \
  extern template bool isnan<T>(T);        \
  extern template bool isnormal<T>(T);     \
  extern template bool signbit<T>(T);
VARNEL_MATH_TR1_EXTERN(float)
VARNEL_MATH_TR1_EXTERN(double)
VARNEL_MATH_TR1_EXTERN(long double)
#undef VARNEL_MATH_TR1_EXTERN

}  // namespace varnel::math::tr1

#endif
