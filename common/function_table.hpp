// The table of functions that varnel-math and the benchmark suite know,
// built from the catalogue (src/catalogue.toml): for every C export, its
// members in the three libraries and the platform libm function of the same
// name, each bound three ways (one call with errno captured, a throughput
// loop, a latency chain), and the input domains its speed is measured on.
//
// Both programs are compiled with -fno-builtin, so that every platform call
// here is a real call into libm (like ours into a shared library) and not an
// instruction the compiler substituted for it.
#ifndef VARNEL_COMMON_FUNCTION_TABLE_HPP
#define VARNEL_COMMON_FUNCTION_TABLE_HPP

#include <cerrno>
#include <cstddef>
#include <math.h>
#include <string>
#include <type_traits>

#include <varnel/math/batch.h>
#include <varnel/math/c99.h>

#include "catalogue.hpp"

#if defined(_WIN32)
// Exported by the Universal CRT, not declared by MinGW's headers.
extern "C" float _hypotf(float x, float y);
extern "C" double _hypot(double x, double y);
#endif

namespace varnel_common {

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

// The batch form of a double or float member (batch.h): n results into
// out, n * out_size bytes (the result type: T, long or long long).  y is
// an array of T, or of long double where long_double_y (nexttoward): the
// caller converts it once, outside any timing.
template <class T> struct batch_member {
  std::size_t (*run)(const T* x, const void* y, void* out, std::size_t n);
  std::size_t out_size;
  bool long_double_y;
};

using varnel_catalogue::domain;

struct domain_list {
  const domain* items;
  int count;
};

struct function_entry {
  const char* name;
  signature shape;
  const char* summary;
  domain_list domains;        // double and long double members
  domain_list float_domains;  // float members
  member_pair<float> f;
  member_pair<double> d;
  member_pair<long double> l;
  batch_member<float> batch_f;
  batch_member<double> batch_d;
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

// The batch functions by signature: every errors array left out.
template <class Fp, Fp fn> struct bind_batch;
template <class T, class R, std::size_t (*fn)(std::size_t, const T*, R*, int*)>
struct bind_batch<std::size_t (*)(std::size_t, const T*, R*, int*), fn> {
  static std::size_t run(const T* x, const void*, void* out, std::size_t n) {
    return fn(n, x, static_cast<R*>(out), nullptr);
  }
  static constexpr batch_member<T> member() { return {&run, sizeof(R), false}; }
};
template <class T, class Y, std::size_t (*fn)(std::size_t, const T*, const Y*, T*, int*)>
struct bind_batch<std::size_t (*)(std::size_t, const T*, const Y*, T*, int*), fn> {
  static std::size_t run(const T* x, const void* y, void* out, std::size_t n) {
    return fn(n, x, static_cast<const Y*>(y), static_cast<T*>(out), nullptr);
  }
  static constexpr batch_member<T> member() { return {&run, sizeof(T), !std::is_same_v<T, Y>}; }
};

}  // namespace detail

// The platform's C mathematics functions, as the table names them: the C
// library's function of each name.  On Windows they are the Universal
// CRT's, whose headers supply hypot's float and long double forms as calls
// of _hypotf and (long double being binary64 there) _hypot; it exports no
// hypotf or hypotl, so the two are declared in runtime itself, where a
// qualified name finds them before the C library's.
namespace runtime {
namespace c_library {
#define VARNEL_CLI_RUNTIME(name, shape, road) \
  using ::name;                               \
  using ::name##f;                            \
  using ::name##l;
VARNEL_CATALOGUE_FUNCTIONS(VARNEL_CLI_RUNTIME)
#undef VARNEL_CLI_RUNTIME
}  // namespace c_library
using namespace c_library;
#if defined(_WIN32)
inline float hypotf(float x, float y) { return ::_hypotf(x, y); }
inline long double hypotl(long double x, long double y) { return ::_hypot(x, y); }
#endif
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

// The catalogue's description of a function, found by name.
constexpr const varnel_catalogue::function_info& info_of(const char* name) {
  for (const auto& f : varnel_catalogue::functions) {
    const char* a = f.name;
    const char* b = name;
    while (*a != '\0' && *a == *b) ++a, ++b;
    if (*a == '\0' && *b == '\0') return f;
  }
  return varnel_catalogue::functions[0];  // unreachable: every name comes from the catalogue
}

#define VARNEL_CLI_ENTRY(name, shape, road)                                                        \
  function_entry{#name,                                                                            \
                 signature::shape,                                                                 \
                 info_of(#name).summary,                                                           \
                 {info_of(#name).domains, info_of(#name).domain_count},                            \
                 {info_of(#name).float_domains, info_of(#name).float_domain_count},                \
                 VARNEL_CLI_PAIR(float, shape, varnel_##name##f, runtime::name##f),                \
                 VARNEL_CLI_PAIR(double, shape, varnel_##name, runtime::name),                     \
                 VARNEL_CLI_PAIR(long double, shape, varnel_##name##l, runtime::name##l),          \
                 detail::bind_batch<decltype(&varnel_##name##f_n), &varnel_##name##f_n>::member(), \
                 detail::bind_batch<decltype(&varnel_##name##_n), &varnel_##name##_n>::member()},

// Every function of the catalogue, alphabetical, as --help lists them.
inline constexpr function_entry functions[] = {VARNEL_CATALOGUE_FUNCTIONS(VARNEL_CLI_ENTRY)};

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

}  // namespace varnel_common

#endif
