/* Prints a few results of the installed libraries with the errno each call
   left behind. */
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <varnel/math/c99.h>

/* The libraries store errno where the C runtime they use keeps it.  On
   Windows that is the Universal CRT: a program on the same runtime (MSVC, a
   UCRT-based MinGW) reads its own errno; a MinGW program on the older
   msvcrt.dll has another errno and reads the libraries' through the UCRT's
   _errno(). */
#if defined(_WIN32) && !defined(_UCRT)
#include <windows.h>
static int* library_errno(void) {
  typedef int* (*errno_location)(void);
  static errno_location get = NULL;
  if (get == NULL) get = (errno_location)(void (*)(void))GetProcAddress(GetModuleHandleA("ucrtbase.dll"), "_errno");
  return get();
}
#define LIBRARY_ERRNO (*library_errno())
#else
#define LIBRARY_ERRNO errno
#endif

static const char* errno_name(int e) {
  return e == 0 ? "ok" : e == EDOM ? "EDOM" : e == ERANGE ? "ERANGE" : strerror(e);
}

#define SHOW(expr)                                                         \
  do {                                                                     \
    LIBRARY_ERRNO = 0;                                                     \
    double r_ = (double)(expr);                                            \
    printf("%-32s = %-24.17g %s\n", #expr, r_, errno_name(LIBRARY_ERRNO)); \
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
