// See vector_peers.hpp.  Compiled with -mavx2 (the peers' AVX2 entry points
// take 256-bit registers); called only where the processor has AVX2.
#include "vector_peers.hpp"

#include <immintrin.h>

#include <map>

#if VARNEL_BENCH_SLEEF
#include <sleef.h>
#endif

#if VARNEL_BENCH_LIBMVEC
// The C library's AVX2 vector functions (glibc's vector ABI names).
extern "C" {
#define VARNEL_MVEC_D1(name) __m256d _ZGVdN4v_##name(__m256d);
#define VARNEL_MVEC_F1(name) __m256 _ZGVdN8v_##name##f(__m256);
VARNEL_MVEC_D1(acosh)
VARNEL_MVEC_D1(asinh)
VARNEL_MVEC_D1(atanh)
VARNEL_MVEC_D1(cbrt)
VARNEL_MVEC_D1(erf)
VARNEL_MVEC_D1(erfc)
VARNEL_MVEC_D1(expm1)
VARNEL_MVEC_D1(log1p)
VARNEL_MVEC_F1(acosh)
VARNEL_MVEC_F1(asinh)
VARNEL_MVEC_F1(atanh)
VARNEL_MVEC_F1(cbrt)
VARNEL_MVEC_F1(erf)
VARNEL_MVEC_F1(erfc)
VARNEL_MVEC_F1(expm1)
VARNEL_MVEC_F1(log1p)
__m256d _ZGVdN4vv_hypot(__m256d, __m256d);
__m256 _ZGVdN8vv_hypotf(__m256, __m256);
}
#endif

namespace varnel_bench {
namespace {

// The peers' functions as template arguments: SLEEF declares some with a
// const-qualified return type, so the argument's type is deduced.
bool have_avx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

template <auto f> void loop_d1(const double* x, const double*, double* out, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 4) _mm256_storeu_pd(out + i, f(_mm256_loadu_pd(x + i)));
}
template <auto f> void loop_d2(const double* x, const double* y, double* out, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 4) _mm256_storeu_pd(out + i, f(_mm256_loadu_pd(x + i), _mm256_loadu_pd(y + i)));
}
template <auto f> void loop_f1(const float* x, const float*, float* out, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 8) _mm256_storeu_ps(out + i, f(_mm256_loadu_ps(x + i)));
}
template <auto f> void loop_f2(const float* x, const float* y, float* out, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 8) _mm256_storeu_ps(out + i, f(_mm256_loadu_ps(x + i), _mm256_loadu_ps(y + i)));
}

template <class T> array_fn<T> find(const std::map<std::string, array_fn<T>>& table, const std::string& name) {
  if (!have_avx2()) return nullptr;
  const auto it = table.find(name);
  return it == table.end() ? nullptr : it->second;
}

}  // namespace

template <> array_fn<double> sleef_avx2<double>(const std::string& name) {
#if VARNEL_BENCH_SLEEF
  static const std::map<std::string, array_fn<double>> table = {
      {"acosh", &loop_d1<Sleef_acoshd4_u10avx2>},    {"asinh", &loop_d1<Sleef_asinhd4_u10avx2>},
      {"atanh", &loop_d1<Sleef_atanhd4_u10avx2>},    {"cbrt", &loop_d1<Sleef_cbrtd4_u10avx2>},
      {"copysign", &loop_d2<Sleef_copysignd4_avx2>}, {"erf", &loop_d1<Sleef_erfd4_u10avx2>},
      {"erfc", &loop_d1<Sleef_erfcd4_u15avx2>},      {"expm1", &loop_d1<Sleef_expm1d4_u10avx2>},
      {"fmax", &loop_d2<Sleef_fmaxd4_avx2>},         {"fmin", &loop_d2<Sleef_fmind4_avx2>},
      {"hypot", &loop_d2<Sleef_hypotd4_u05avx2>},    {"lgamma", &loop_d1<Sleef_lgammad4_u10avx2>},
      {"log1p", &loop_d1<Sleef_log1pd4_u10avx2>},    {"nextafter", &loop_d2<Sleef_nextafterd4_avx2>},
      {"round", &loop_d1<Sleef_roundd4_avx2>},       {"tgamma", &loop_d1<Sleef_tgammad4_u10avx2>},
      {"trunc", &loop_d1<Sleef_truncd4_avx2>},
  };
  return find(table, name);
#else
  (void)name;
  return nullptr;
#endif
}

template <> array_fn<float> sleef_avx2<float>(const std::string& name) {
#if VARNEL_BENCH_SLEEF
  static const std::map<std::string, array_fn<float>> table = {
      {"acosh", &loop_f1<Sleef_acoshf8_u10avx2>},    {"asinh", &loop_f1<Sleef_asinhf8_u10avx2>},
      {"atanh", &loop_f1<Sleef_atanhf8_u10avx2>},    {"cbrt", &loop_f1<Sleef_cbrtf8_u10avx2>},
      {"copysign", &loop_f2<Sleef_copysignf8_avx2>}, {"erf", &loop_f1<Sleef_erff8_u10avx2>},
      {"erfc", &loop_f1<Sleef_erfcf8_u15avx2>},      {"expm1", &loop_f1<Sleef_expm1f8_u10avx2>},
      {"fmax", &loop_f2<Sleef_fmaxf8_avx2>},         {"fmin", &loop_f2<Sleef_fminf8_avx2>},
      {"hypot", &loop_f2<Sleef_hypotf8_u05avx2>},    {"lgamma", &loop_f1<Sleef_lgammaf8_u10avx2>},
      {"log1p", &loop_f1<Sleef_log1pf8_u10avx2>},    {"nextafter", &loop_f2<Sleef_nextafterf8_avx2>},
      {"round", &loop_f1<Sleef_roundf8_avx2>},       {"tgamma", &loop_f1<Sleef_tgammaf8_u10avx2>},
      {"trunc", &loop_f1<Sleef_truncf8_avx2>},
  };
  return find(table, name);
#else
  (void)name;
  return nullptr;
#endif
}

template <> array_fn<double> libmvec_avx2<double>(const std::string& name) {
#if VARNEL_BENCH_LIBMVEC
  static const std::map<std::string, array_fn<double>> table = {
      {"acosh", &loop_d1<_ZGVdN4v_acosh>}, {"asinh", &loop_d1<_ZGVdN4v_asinh>}, {"atanh", &loop_d1<_ZGVdN4v_atanh>},
      {"cbrt", &loop_d1<_ZGVdN4v_cbrt>},   {"erf", &loop_d1<_ZGVdN4v_erf>},     {"erfc", &loop_d1<_ZGVdN4v_erfc>},
      {"expm1", &loop_d1<_ZGVdN4v_expm1>}, {"log1p", &loop_d1<_ZGVdN4v_log1p>}, {"hypot", &loop_d2<_ZGVdN4vv_hypot>},
  };
  return find(table, name);
#else
  (void)name;
  return nullptr;
#endif
}

template <> array_fn<float> libmvec_avx2<float>(const std::string& name) {
#if VARNEL_BENCH_LIBMVEC
  static const std::map<std::string, array_fn<float>> table = {
      {"acosh", &loop_f1<_ZGVdN8v_acoshf>}, {"asinh", &loop_f1<_ZGVdN8v_asinhf>}, {"atanh", &loop_f1<_ZGVdN8v_atanhf>},
      {"cbrt", &loop_f1<_ZGVdN8v_cbrtf>},   {"erf", &loop_f1<_ZGVdN8v_erff>},     {"erfc", &loop_f1<_ZGVdN8v_erfcf>},
      {"expm1", &loop_f1<_ZGVdN8v_expm1f>}, {"log1p", &loop_f1<_ZGVdN8v_log1pf>}, {"hypot", &loop_f2<_ZGVdN8vv_hypotf>},
  };
  return find(table, name);
#else
  (void)name;
  return nullptr;
#endif
}

}  // namespace varnel_bench
