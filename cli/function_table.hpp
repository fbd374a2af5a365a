// The one table of functions that varnel-math and the benchmark suite know:
// for every C export, its members in the three libraries and the platform
// libm function of the same name, each bound three ways (one call with errno
// captured, a throughput loop, a latency chain), and the input domains its
// speed is measured on.  Adding a function is one VARNEL_CLI_ENTRY line.
//
// Both programs are compiled with -fno-builtin, so that every platform call
// here is a real call into libm (like ours into a shared library) and not an
// instruction the compiler substituted for it.
#ifndef VARNEL_CLI_FUNCTION_TABLE_HPP
#define VARNEL_CLI_FUNCTION_TABLE_HPP

#include <cerrno>
#include <cstddef>
#include <math.h>
#include <string>

#include <varnel/math/c99.h>

#if defined(_WIN32)
// Exported by the Universal CRT, not declared by MinGW's headers.
extern "C" float _hypotf(float x, float y);
extern "C" double _hypot(double x, double y);
#endif

namespace varnel_cli {

enum class precision { single, dbl, extended };  // float, double, long double

// The shape of a function's signature, with T the library's floating type.
enum class signature {
  unary,     // T f(T)
  binary,    // T f(T, T)
  toward,    // T f(T, long double)   (nexttoward: y is long double in every library)
  to_long,   // long f(T)
  to_llong,  // long long f(T)
};

constexpr int arity_of(signature s) { return s == signature::binary || s == signature::toward ? 2 : 1; }
constexpr bool integer_result(signature s) { return s == signature::to_long || s == signature::to_llong; }

// The result of one call.  Every float and double is exactly a long double,
// so one carrier holds the result of any member without rounding.
struct outcome {
  long double value = 0;  // floating results
  long long integer = 0;  // integer results
  int error = 0;          // errno after the call, cleared before it
};

// Arguments arrive in the same carrier: each already holds a value of the
// parameter's type, so the conversion to that type is exact.
using eval_fn = outcome (*)(long double x, long double y);
template <class T> using throughput_fn = void (*)(const T* x, const T* y, T* out, std::size_t n);
template <class T> using latency_fn = T (*)(const T* x, const T* y, std::size_t n);

template <class T> struct member {
  eval_fn eval;
  throughput_fn<T> throughput;  // n independent calls, results stored
  latency_fn<T> latency;        // n calls, each argument depending on the previous result
};

template <class T> struct member_pair {
  member<T> varnel;
  member<T> libm;
};

// Where speed is measured: x uniform on [x_lo, x_hi] (log-uniform when
// log_uniform, for positive bounds), y likewise for two-argument functions.
struct domain {
  const char* label;
  double x_lo, x_hi;
  double y_lo, y_hi;
  bool log_uniform;
};

struct domain_list {
  const domain* items;
  int count;
};

template <std::size_t N> constexpr domain_list domains_of(const domain (&items)[N]) {
  return {items, static_cast<int>(N)};
}

struct function_entry {
  const char* name;
  signature shape;
  const char* summary;
  domain_list domains;        // double and long double members
  domain_list float_domains;  // float members
  member_pair<float> f;
  member_pair<double> d;
  member_pair<long double> l;
};

namespace detail {

inline outcome make_outcome(float r, int e) { return {r, 0, e}; }
inline outcome make_outcome(double r, int e) { return {r, 0, e}; }
inline outcome make_outcome(long double r, int e) { return {r, 0, e}; }
inline outcome make_outcome(long r, int e) { return {0, r, e}; }
inline outcome make_outcome(long long r, int e) { return {0, r, e}; }

template <class Fp, Fp fn> struct bind;

template <class R, class A, R (*fn)(A)> struct bind<R (*)(A), fn> {
  static outcome eval(long double x, long double) {
    errno = 0;
    const R r = fn(static_cast<A>(x));
    return make_outcome(r, errno);
  }
  template <class T> static void throughput(const T* x, const T*, T* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<T>(fn(static_cast<A>(x[i])));
  }
  // x[i] + 0 * r cannot be folded (r may be NaN, infinite or negative), so
  // each call waits for the previous result while the argument stays x[i].
  template <class T> static T latency(const T* x, const T*, std::size_t n) {
    T r = 0;
    for (std::size_t i = 0; i < n; ++i) r = static_cast<T>(fn(static_cast<A>(x[i] + T(0) * r)));
    return r;
  }
};

template <class R, class A, class B, R (*fn)(A, B)> struct bind<R (*)(A, B), fn> {
  static outcome eval(long double x, long double y) {
    errno = 0;
    const R r = fn(static_cast<A>(x), static_cast<B>(y));
    return make_outcome(r, errno);
  }
  template <class T> static void throughput(const T* x, const T* y, T* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<T>(fn(static_cast<A>(x[i]), static_cast<B>(y[i])));
  }
  template <class T> static T latency(const T* x, const T* y, std::size_t n) {
    T r = 0;
    for (std::size_t i = 0; i < n; ++i) {
      r = static_cast<T>(fn(static_cast<A>(x[i] + T(0) * r), static_cast<B>(y[i])));
    }
    return r;
  }
};

template <class T, class Fp, Fp fn> constexpr member<T> member_of() {
  return {&bind<Fp, fn>::eval, &bind<Fp, fn>::template throughput<T>, &bind<Fp, fn>::template latency<T>};
}

}  // namespace detail

// Speed domains.  Results stay finite on every domain in every precision,
// so that a latency chain never turns into a chain of NaNs.
inline constexpr domain symmetric_unit[] = {{"-10:10", -10, 10, -10, 10, false}};
inline constexpr domain acosh_domains[] = {{"1:100", 1, 100, 0, 0, false}};
inline constexpr domain asinh_domains[] = {{"-100:100", -100, 100, 0, 0, false}};
inline constexpr domain atanh_domains[] = {{"-1:1", -1, 1, 0, 0, false}};
inline constexpr domain cbrt_domains[] = {{"-1e3:1e3", -1e3, 1e3, 0, 0, false}};
inline constexpr domain erf_domains[] = {{"-6:6", -6, 6, 0, 0, false}};
inline constexpr domain hypot_domains[] = {{"-1e3:1e3", -1e3, 1e3, -1e3, 1e3, false}};
inline constexpr domain lgamma_domains[] = {{"0:1e3", 0, 1e3, 0, 0, false}, {"1e3:1e30", 1e3, 1e30, 0, 0, true}};
inline constexpr domain log1p_domains[] = {{"-0.9:10", -0.9, 10, 0, 0, false}};
inline constexpr domain rounding_domains[] = {{"-1e6:1e6", -1e6, 1e6, 0, 0, false}};
inline constexpr domain tgamma_domains[] = {{"0:170", 0, 170, 0, 0, false}, {"-170:0", -170, 0, 0, 0, false}};
// tgammaf overflows beyond 35.04; below -35 its results are subnormal floats.
inline constexpr domain tgammaf_domains[] = {{"0:35", 0, 35, 0, 0, false}, {"-35:0", -35, 0, 0, 0, false}};

// The platform's C mathematics functions, as the table names them.  On
// Windows they are the Universal CRT's, whose headers supply hypot's float
// and long double forms as calls of _hypotf and (long double being binary64
// there) _hypot; it exports no hypotf or hypotl.
namespace runtime {
#define VARNEL_CLI_RUNTIME(name) \
  using ::name;                  \
  using ::name##f;               \
  using ::name##l;
VARNEL_CLI_RUNTIME(acosh)
VARNEL_CLI_RUNTIME(asinh)
VARNEL_CLI_RUNTIME(atanh)
VARNEL_CLI_RUNTIME(cbrt)
VARNEL_CLI_RUNTIME(copysign)
VARNEL_CLI_RUNTIME(erf)
VARNEL_CLI_RUNTIME(erfc)
VARNEL_CLI_RUNTIME(expm1)
VARNEL_CLI_RUNTIME(fmax)
VARNEL_CLI_RUNTIME(fmin)
VARNEL_CLI_RUNTIME(lgamma)
VARNEL_CLI_RUNTIME(llround)
VARNEL_CLI_RUNTIME(log1p)
VARNEL_CLI_RUNTIME(lround)
VARNEL_CLI_RUNTIME(nextafter)
VARNEL_CLI_RUNTIME(nexttoward)
VARNEL_CLI_RUNTIME(round)
VARNEL_CLI_RUNTIME(tgamma)
VARNEL_CLI_RUNTIME(trunc)
#if defined(_WIN32)
using ::hypot;
inline float hypotf(float x, float y) { return ::_hypotf(x, y); }
inline long double hypotl(long double x, long double y) { return ::_hypot(x, y); }
#else
VARNEL_CLI_RUNTIME(hypot)
#endif
#undef VARNEL_CLI_RUNTIME
}  // namespace runtime

#define VARNEL_CLI_SIG_unary(T) T (*)(T)
#define VARNEL_CLI_SIG_binary(T) T (*)(T, T)
#define VARNEL_CLI_SIG_toward(T) T (*)(T, long double)
#define VARNEL_CLI_SIG_to_long(T) long (*)(T)
#define VARNEL_CLI_SIG_to_llong(T) long long (*)(T)

#define VARNEL_CLI_PAIR(T, shape, ours, theirs)                    \
  member_pair<T> {                                                 \
    detail::member_of<T, VARNEL_CLI_SIG_##shape(T), &ours>(),      \
        detail::member_of<T, VARNEL_CLI_SIG_##shape(T), &theirs>() \
  }

#define VARNEL_CLI_ENTRY(name, shape, summary, doms, float_doms)                \
  function_entry {                                                              \
#name, signature::shape, summary, domains_of(doms), domains_of(float_doms), \
        VARNEL_CLI_PAIR(float, shape, varnel_##name##f, runtime::name##f),      \
        VARNEL_CLI_PAIR(double, shape, varnel_##name, runtime::name),           \
        VARNEL_CLI_PAIR(long double, shape, varnel_##name##l, runtime::name##l) \
  }

// Alphabetical, as --help lists them.
inline constexpr function_entry functions[] = {
    VARNEL_CLI_ENTRY(acosh, unary, "inverse hyperbolic cosine", acosh_domains, acosh_domains),
    VARNEL_CLI_ENTRY(asinh, unary, "inverse hyperbolic sine", asinh_domains, asinh_domains),
    VARNEL_CLI_ENTRY(atanh, unary, "inverse hyperbolic tangent", atanh_domains, atanh_domains),
    VARNEL_CLI_ENTRY(cbrt, unary, "cube root", cbrt_domains, cbrt_domains),
    VARNEL_CLI_ENTRY(copysign, binary, "x with the sign of y", symmetric_unit, symmetric_unit),
    VARNEL_CLI_ENTRY(erf, unary, "error function", erf_domains, erf_domains),
    VARNEL_CLI_ENTRY(erfc, unary, "complementary error function 1 - erf(x)", erf_domains, erf_domains),
    VARNEL_CLI_ENTRY(expm1, unary, "e^x - 1", symmetric_unit, symmetric_unit),
    VARNEL_CLI_ENTRY(fmax, binary, "larger of x and y (a NaN loses)", symmetric_unit, symmetric_unit),
    VARNEL_CLI_ENTRY(fmin, binary, "smaller of x and y (a NaN loses)", symmetric_unit, symmetric_unit),
    VARNEL_CLI_ENTRY(hypot, binary, "sqrt(x^2 + y^2) without undue overflow", hypot_domains, hypot_domains),
    VARNEL_CLI_ENTRY(lgamma, unary, "ln|Gamma(x)|", lgamma_domains, lgamma_domains),
    VARNEL_CLI_ENTRY(llround, to_llong, "x rounded to the nearest integer, halves away from zero", rounding_domains,
                     rounding_domains),
    VARNEL_CLI_ENTRY(log1p, unary, "ln(1 + x)", log1p_domains, log1p_domains),
    VARNEL_CLI_ENTRY(lround, to_long, "x rounded to the nearest integer, halves away from zero", rounding_domains,
                     rounding_domains),
    VARNEL_CLI_ENTRY(nextafter, binary, "the next representable value after x towards y", symmetric_unit,
                     symmetric_unit),
    VARNEL_CLI_ENTRY(nexttoward, toward, "the same, with y a long double", symmetric_unit, symmetric_unit),
    VARNEL_CLI_ENTRY(round, unary, "x rounded to an integral value, halves away from zero", rounding_domains,
                     rounding_domains),
    VARNEL_CLI_ENTRY(tgamma, unary, "Gamma function", tgamma_domains, tgammaf_domains),
    VARNEL_CLI_ENTRY(trunc, unary, "x rounded towards zero to an integral value", rounding_domains, rounding_domains),
};

#undef VARNEL_CLI_ENTRY
#undef VARNEL_CLI_PAIR
#undef VARNEL_CLI_SIG_unary
#undef VARNEL_CLI_SIG_binary
#undef VARNEL_CLI_SIG_toward
#undef VARNEL_CLI_SIG_to_long
#undef VARNEL_CLI_SIG_to_llong

inline constexpr int function_count = static_cast<int>(sizeof functions / sizeof functions[0]);

inline const function_entry* find_function(const char* name) {
  for (const function_entry& e : functions) {
    const char* a = e.name;
    const char* b = name;
    while (*a != '\0' && *a == *b) ++a, ++b;
    if (*a == '\0' && *b == '\0') return &e;
  }
  return nullptr;
}

inline domain_list domains_for(const function_entry& fn, precision p) {
  return p == precision::single ? fn.float_domains : fn.domains;
}

// One call of our member (or, with platform, of libm's) in precision p.
inline eval_fn eval_of(const function_entry& fn, precision p, bool platform) {
  switch (p) {
    case precision::single:
      return platform ? fn.f.libm.eval : fn.f.varnel.eval;
    case precision::dbl:
      return platform ? fn.d.libm.eval : fn.d.varnel.eval;
    default:
      return platform ? fn.l.libm.eval : fn.l.varnel.eval;
  }
}

// The exported name of a member without its prefix: "tgamma", "tgammaf", "tgammal".
inline std::string member_name(const function_entry& fn, precision p) {
  return std::string(fn.name) + (p == precision::single ? "f" : p == precision::extended ? "l" : "");
}

}  // namespace varnel_cli

#endif
