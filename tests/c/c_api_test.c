/* The C header compiles as C99 and the three libraries link into one C
   program; a few results and their errno are checked through each. */
#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <varnel/math/c99.h>

static int failures = 0;

#define CHECK(cond)                                              \
  do {                                                           \
    if (!(cond)) {                                               \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                \
    }                                                            \
  } while (0)

static int same_bits(double a, double b) { return memcmp(&a, &b, sizeof a) == 0; }

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
  if (failures == 0) printf("c_api_test: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
