// trunc and truncf where the processor has SSE4.1: one rounding instruction
// (roundsd/roundss toward zero) instead of the family's conversion to a
// 64-bit integer and back, which is three dependent instructions on the
// path from the argument to the result.  Both give exactly the integral part
// of a finite x, -0 for -1 < x <= -0, and x itself from 2^52 (2^23) up, so
// the result bits are the family's.  A non-finite x still goes through the
// family entry, the one place its error is reported.
//
// The choice is made once, when the dynamic linker binds the export (an
// indirect function): processors without SSE4.1 get the portable family.
// The instruction is confined to these two exports on purpose: compiled
// into the shared helpers, the compiler turns the same operation into calls
// of the platform's trunc wherever the instruction is not enabled.
#ifndef VARNEL_MATH_SRC_C99_TRUNC_INSTRUCTION_HPP
#define VARNEL_MATH_SRC_C99_TRUNC_INSTRUCTION_HPP

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/trunc.hpp>

#if defined(__x86_64__) && defined(__GNUC__) && defined(__ELF__)
#define VARNEL_TRUNC_BY_INSTRUCTION 1
#include <cpuid.h>
#else
#define VARNEL_TRUNC_BY_INSTRUCTION 0
#endif

namespace varnel::math::exports {

// Out of line: the SSE4.1 body reaches it only for a non-finite x, by a
// tail jump, and keeps no register saved for it.
template <class T> [[gnu::noinline]] T trunc_portable(T x) noexcept {
  return varnel::math::trunc(x, policies::errno_policy());
}

#if VARNEL_TRUNC_BY_INSTRUCTION

// The selection runs while the dynamic linker relocates, before any
// sanitizer runtime has set up its shadow memory: nothing in it may be
// instrumented, and it reads no memory, only the cpuid registers.
#define VARNEL_TRUNC_UNINSTRUMENTED __attribute__((no_sanitize("address", "thread", "undefined")))

// Toward zero: with SSE4.1 enabled the compiler emits the one instruction
// (roundsd/roundss with immediate 0b1011, no inexact raised) for the
// builtin, without moving x into a cleared vector first.
[[gnu::target("sse4.1")]] inline double round_toward_zero(double x) noexcept { return __builtin_trunc(x); }
[[gnu::target("sse4.1")]] inline float round_toward_zero(float x) noexcept { return __builtin_truncf(x); }

template <class T> [[gnu::target("sse4.1")]] T trunc_sse41(T x) noexcept {
  if (!isfinite(x)) return trunc_portable(x);
  return round_toward_zero(x);
}

VARNEL_TRUNC_UNINSTRUMENTED inline bool processor_has_sse41() noexcept {
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(1, a, b, c, d);  // leaf 1 exists on every x86-64 processor
  return (c & bit_SSE4_1) != 0;
}

template <class T> using unary_t = T (*)(T);

template <class T> VARNEL_TRUNC_UNINSTRUMENTED unary_t<T> select_trunc() noexcept {
  return processor_has_sse41() ? &trunc_sse41<T> : &trunc_portable<T>;
}

#endif

}  // namespace varnel::math::exports

#endif
