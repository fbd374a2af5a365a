/* Prints a few results of the installed libraries with the errno each call
   left behind. */
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <varnel/math/c99.h>

static const char* errno_name(int e) {
  return e == 0 ? "ok" : e == EDOM ? "EDOM" : e == ERANGE ? "ERANGE" : strerror(e);
}

#define SHOW(expr)                                                         \
  do {                                                                     \
    errno = 0;                                                             \
    double r_ = (double)(expr);                                            \
    printf("%-32s = %-24.17g %s\n", #expr, r_, errno_name(errno));         \
  } while (0)

int main(void) {
  SHOW(varnel_tgamma(4.5));
  SHOW(varnel_tgammaf(35.05f));
  SHOW(varnel_lgamma(-2.5));
  SHOW(varnel_erfc(27.0));
  SHOW(varnel_acosh(0.5));
  SHOW(varnel_atanhl(1.0L));
  SHOW(varnel_cbrt(5e-324));
  SHOW(varnel_nextafter(1.0, 2.0));
  SHOW(varnel_lround(-2.5));
  SHOW(varnel_copysign(2.5, -0.0));
  SHOW(varnel_expm1(1e-10));
  return 0;
}
