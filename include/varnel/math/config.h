/* Varnel math: the platform facts.  Each fact is decided here once, and
 * the C interface, the templates, the libraries and the tests read it from
 * here.  Usable from C99 and C++.
 *
 *   VARNEL_MATH_API                      how an exported declaration is marked
 *   VARNEL_MATH_LDBL_MANT_DIG            significand digits of this compiler's long double
 *   VARNEL_MATH_LIBRARY_LDBL_MANT_DIG    ... and of the libraries' long double
 *   VARNEL_MATH_WIDE_LONG_DOUBLE_CALLER  1 where the two differ (Windows, MinGW's 80-bit default)
 *   VARNEL_MATH_LONG_DOUBLE              the long double type of the C interface
 *   VARNEL_MATH_LONG_BITS                the width of long
 *   VARNEL_MATH_FP_NAN ... _FP_NORMAL    the classes fpclassify returns
 *   VARNEL_MATH_BIG_ENDIAN               1 where the most significant byte of a value comes first
 *
 * A long double format is named by its significand digits: 53 binary64,
 * 64 the x87 extended format, 113 IEEE binary128. */
#ifndef VARNEL_MATH_CONFIG_H
#define VARNEL_MATH_CONFIG_H

#include <limits.h>

/* Exports: ELF libraries hide everything they do not list, and mark what
   they list; Windows DLLs take their export tables from .def files. */
#if (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define VARNEL_MATH_API __attribute__((visibility("default")))
#else
#define VARNEL_MATH_API
#endif

/* The long double of this compiler (MSVC, which does not say, has the
   binary64 one). */
#if defined(__LDBL_MANT_DIG__)
#define VARNEL_MATH_LDBL_MANT_DIG __LDBL_MANT_DIG__
#else
#define VARNEL_MATH_LDBL_MANT_DIG 53
#endif

/* The libraries' long double: binary64 on Windows, as a program built by
   MSVC has it (the DLLs are built with that ABI); the platform's own
   everywhere else (the x87 extended format on x86-64 Linux, binary128 on
   AArch64 and s390x Linux). */
#if defined(_WIN32)
#define VARNEL_MATH_LIBRARY_LDBL_MANT_DIG 53
#else
#define VARNEL_MATH_LIBRARY_LDBL_MANT_DIG VARNEL_MATH_LDBL_MANT_DIG
#endif
#if VARNEL_MATH_LIBRARY_LDBL_MANT_DIG != 53 && VARNEL_MATH_LIBRARY_LDBL_MANT_DIG != 64 && \
    VARNEL_MATH_LIBRARY_LDBL_MANT_DIG != 113
#error "Varnel math: long double must be binary64, the x87 extended format or binary128"
#endif

/* A caller whose long double is wider than the libraries' (on Windows,
   MinGW GCC and Clang by default) sees double in place of long double in
   the C interface: an argument is rounded to binary64 at the call, which is
   the value the library computes with anyway, and a result widens exactly.
   Such a program must not take the address of an l member as a long double
   function. */
#if VARNEL_MATH_LDBL_MANT_DIG != VARNEL_MATH_LIBRARY_LDBL_MANT_DIG
#define VARNEL_MATH_WIDE_LONG_DOUBLE_CALLER 1
#define VARNEL_MATH_LONG_DOUBLE double
#else
#define VARNEL_MATH_WIDE_LONG_DOUBLE_CALLER 0
#define VARNEL_MATH_LONG_DOUBLE long double
#endif

/* The byte order of values in memory, the same for integers and floating
   values on every platform here: little-endian on x86-64 and AArch64 (and
   on every Windows), big-endian on s390x.  Code that reads a pattern by
   its bytes finds the significant end through this (tools/layouts.hpp). */
#if defined(__BYTE_ORDER__) && defined(__ORDER_BIG_ENDIAN__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
#define VARNEL_MATH_BIG_ENDIAN 1
#elif (defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) || \
    defined(_WIN32)
#define VARNEL_MATH_BIG_ENDIAN 0
#else
#error "Varnel math: the byte order of this platform is unknown"
#endif

/* The width of long: 32 bits on Windows, 64 on 64-bit Linux. */
#if LONG_MAX == 0x7fffffffL
#define VARNEL_MATH_LONG_BITS 32
#else
#define VARNEL_MATH_LONG_BITS 64
#endif

/* The classes fpclassify returns.  On Windows they are the platform C
   runtime's values as a program built by MSVC sees them (MinGW's headers
   number them differently); elsewhere the C library's FP_ macros, written
   out here so that this header brings no <math.h> into its includers
   (classification.hpp checks them against the macros). */
#if defined(_WIN32)
#define VARNEL_MATH_FP_NAN 2
#define VARNEL_MATH_FP_INFINITE 1
#define VARNEL_MATH_FP_ZERO 0
#define VARNEL_MATH_FP_SUBNORMAL (-2)
#define VARNEL_MATH_FP_NORMAL (-1)
#else
#define VARNEL_MATH_FP_NAN 0
#define VARNEL_MATH_FP_INFINITE 1
#define VARNEL_MATH_FP_ZERO 2
#define VARNEL_MATH_FP_SUBNORMAL 3
#define VARNEL_MATH_FP_NORMAL 4
#endif

#endif /* VARNEL_MATH_CONFIG_H */
