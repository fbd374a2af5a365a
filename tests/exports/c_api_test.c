/* The C header compiles as C99 and the three libraries link into one C
   program.  Every C export of each library is called through the header:
   a few results and their errno are checked outright, and every long
   double member must return the bits and errno of its double member (the
   long double argument rounded to binary64 first).  The classification
   templates are called from C++ (tr1_calls.cpp).

   Built once with the platform's long double and, on Windows, once more as
   a caller whose long double is the 80-bit format (MinGW's default), which
   the header gives double parameters. */
#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <varnel/math/c99.h>

#include "catalogue.generated.h"

#if defined(VARNEL_TEST_WIDE_LONG_DOUBLE) && __LDBL_MANT_DIG__ != 64
#error "this build is meant to call the libraries with an 80-bit long double"
#endif

typedef VARNEL_MATH_LONG_DOUBLE ldouble;

int check_classification(void); /* tr1_calls.cpp: the number of failures */

static int failures = 0;

#define CHECK(cond)                                                      \
  do {                                                                   \
    if (!(cond)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                        \
    }                                                                    \
  } while (0)

static int same_bits(double a, double b) { return memcmp(&a, &b, sizeof a) == 0; }

/* Every export of each library, one table per shape, from the catalogue's
   lists (catalogue.generated.h): a function listed there without its
   exports fails to compile here, naming them. */
#define MEMBERS(name, road) {#name, varnel_##name, varnel_##name##f, varnel_##name##l},

static const struct {
  const char* name;
  double (*d)(double);
  float (*f)(float);
  ldouble (*l)(ldouble);
} unary[] = {VARNEL_CATALOGUE_UNARY(MEMBERS)};

static const struct {
  const char* name;
  double (*d)(double, double);
  float (*f)(float, float);
  ldouble (*l)(ldouble, ldouble);
} binary[] = {VARNEL_CATALOGUE_BINARY(MEMBERS)};

static const struct {
  const char* name;
  long (*d)(double);
  long (*f)(float);
  long (*l)(ldouble);
} to_long[] = {VARNEL_CATALOGUE_TO_LONG(MEMBERS)};

static const struct {
  const char* name;
  long long (*d)(double);
  long long (*f)(float);
  long long (*l)(ldouble);
} to_llong[] = {VARNEL_CATALOGUE_TO_LLONG(MEMBERS)};

static const struct {
  const char* name;
  double (*d)(double, ldouble);
  float (*f)(float, ldouble);
  ldouble (*l)(ldouble, ldouble);
} toward[] = {VARNEL_CATALOGUE_TOWARD(MEMBERS)};

/* Arguments of every kind: domain errors, poles, overflow, subnormal
   results, NaN, infinities, and long double values that are not binary64
   ones (which round to binary64 before the library computes). */
static const long double arguments[] = {
    0.0L,    -0.0L,   0.5L, -0.5L, 1.0L,   -1.0L,    2.5L,      -3.5L,           30.0L,           200.0L,
    -200.5L, 1e-310L, 3e9L, -3e9L, 1e300L, HUGE_VAL, -HUGE_VAL, 1.0L + 0x1p-60L, 0.5L + 0x1p-62L, 0.75L - 0x1p-61L,
};
#define COUNT(a) (sizeof(a) / sizeof((a)[0]))

static void check_long_double_members(void) {
  size_t i, j, k;
  for (i = 0; i < COUNT(unary); ++i) {
    for (j = 0; j < COUNT(arguments); ++j) {
      const long double x = arguments[j];
      int ed, el;
      double rd, rl;
      errno = 0;
      rd = unary[i].d((double)x);
      ed = errno;
      errno = 0;
      rl = (double)unary[i].l(x);
      el = errno;
      errno = 0;
      (void)unary[i].f((float)x);
      if (!same_bits(rd, rl) || ed != el) {
        fprintf(stderr, "%sl(%a) = %a errno %d, %s gives %a errno %d\n", unary[i].name, (double)x, rl, el,
                unary[i].name, rd, ed);
        ++failures;
      }
    }
  }
  for (i = 0; i < COUNT(binary); ++i) {
    for (j = 0; j < COUNT(arguments); ++j) {
      for (k = 0; k < COUNT(arguments); k += 3) {
        const long double x = arguments[j], y = arguments[k];
        int ed, el;
        double rd, rl;
        errno = 0;
        rd = binary[i].d((double)x, (double)y);
        ed = errno;
        errno = 0;
        rl = (double)binary[i].l(x, y);
        el = errno;
        (void)binary[i].f((float)x, (float)y);
        if (!same_bits(rd, rl) || ed != el) {
          fprintf(stderr, "%sl(%a, %a) = %a errno %d, %s gives %a errno %d\n", binary[i].name, (double)x, (double)y, rl,
                  el, binary[i].name, rd, ed);
          ++failures;
        }
      }
    }
  }
  for (i = 0; i < COUNT(to_long); ++i) {
    for (j = 0; j < COUNT(arguments); ++j) {
      const long double x = arguments[j];
      long rd, rl;
      int ed, el;
      errno = 0;
      rd = to_long[i].d((double)x);
      ed = errno;
      errno = 0;
      rl = to_long[i].l(x);
      el = errno;
      (void)to_long[i].f((float)x);
      if (rd != rl || ed != el) {
        fprintf(stderr, "%sl(%a) = %ld errno %d, %s gives %ld errno %d\n", to_long[i].name, (double)x, rl, el,
                to_long[i].name, rd, ed);
        ++failures;
      }
    }
  }
  for (i = 0; i < COUNT(to_llong); ++i) {
    for (j = 0; j < COUNT(arguments); ++j) {
      const long double x = arguments[j];
      long long rd, rl;
      int ed, el;
      errno = 0;
      rd = to_llong[i].d((double)x);
      ed = errno;
      errno = 0;
      rl = to_llong[i].l(x);
      el = errno;
      (void)to_llong[i].f((float)x);
      if (rd != rl || ed != el) {
        fprintf(stderr, "%sl(%a) = %lld errno %d, %s gives %lld errno %d\n", to_llong[i].name, (double)x, rl, el,
                to_llong[i].name, rd, ed);
        ++failures;
      }
    }
  }
  /* y is x + 1 as a double, passed as the interface's long double. */
  for (i = 0; i < COUNT(toward); ++i) {
    for (j = 0; j < COUNT(arguments); ++j) {
      const long double x = arguments[j];
      int ed, el;
      double rd, rl;
      errno = 0;
      rd = toward[i].d((double)x, (double)x + 1.0);
      ed = errno;
      errno = 0;
      rl = (double)toward[i].l(x, (double)x + 1.0);
      el = errno;
      (void)toward[i].f((float)x, 1.0L);
      if (!same_bits(rd, rl) || ed != el) {
        fprintf(stderr, "%sl(%a, x + 1) = %a errno %d, %s gives %a errno %d\n", toward[i].name, (double)x, rl, el,
                toward[i].name, rd, ed);
        ++failures;
      }
    }
  }
}

int main(void) {
  errno = 0;
  CHECK(same_bits(varnel_copysign(2.0, -0.0), -2.0));
  CHECK(varnel_copysignf(2.0f, -1.0f) == -2.0f);
  CHECK(varnel_copysignl(2.0L, -1.0L) == -2.0L);
  CHECK(varnel_expm1(0.0) == 0.0);
  CHECK(varnel_expm1f(0.0f) == 0.0f);
  CHECK(varnel_expm1l(0.0L) == 0.0L);
  CHECK(varnel_lroundf(-2.5f) == -3L);
  CHECK(varnel_cbrt(-8.0) == -2.0);
  CHECK(varnel_cbrtf(8.0f) == 2.0f);
  CHECK(varnel_nextafter(1.0, 2.0) == 1.0 + 0x1p-52);
  CHECK(varnel_nexttowardf(1.0f, 1.0L + 0x1p-52L) == 1.0f + 0x1p-23f);
  CHECK(varnel_erfc(-28.0) == 2.0 && varnel_erff(-INFINITY) == -1.0f);
  CHECK(varnel_atanhl(0.5L) == (long double)varnel_atanh(0.5));
  CHECK(varnel_tgamma(5.0) == 24.0 && varnel_tgammal(1.0L) == 1.0L);
  CHECK(varnel_lgammaf(2.0f) == 0.0f);
  CHECK(errno == 0);
  CHECK(varnel_log1pf(-1.0f) == -HUGE_VALF && errno == ERANGE);
  check_long_double_members();
  failures += check_classification();
  if (failures == 0) printf("c_api_test: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
