/* A program built the way MSVC builds one (clang for the MSVC ABI, linked by
   lld-link against the MSVC import libraries .lib), calling a member of
   each math library.  It has no C runtime of its own: it starts at
   mainCRTStartup, declares what it calls, and reads errno where a program
   built by MSVC reads it, from the Universal CRT (_errno).

   The exit code is 0 when every check holds, else the sum of the failed
   checks' bits. */
double varnel_acosh(double x);
double varnel_tgamma(double x);
long varnel_lround(double x);
float varnel_tgammaf(float x);
long double varnel_tgammal(long double x);
long double varnel_nextafterl(long double x, long double y);

__declspec(dllimport) int* __cdecl _errno(void);
__declspec(dllimport) void __stdcall ExitProcess(unsigned code);

int check_cxx_exports(void); /* msvc_caller_cxx.cpp */

/* The MSVC compiler's mark that a program uses floating point; its C
   runtime would define it. */
int _fltused = 0;

static unsigned failed = 0;
static void check(int ok, unsigned bit) {
  if (!ok) failed |= bit;
}

void __cdecl mainCRTStartup(void) {
  double r;
  long l;
  long double rl;
  float rf;

  *_errno() = 0;
  r = varnel_acosh(0.5); /* domain error */
  check(*_errno() == 33 && r != r, 1u);

  *_errno() = 0;
  r = varnel_tgamma(200); /* overflow */
  check(*_errno() == 34 && r == 1.0 / 0.0, 2u);

  *_errno() = 0;
  l = varnel_lround(3e9); /* beyond a 32-bit long */
  check(*_errno() == 34 && l == 2147483647L, 4u);

  *_errno() = 0;
  rf = varnel_tgammaf(35.05f); /* beyond float */
  check(*_errno() == 34 && rf == 1.0f / 0.0f, 8u);

  /* long double is binary64 here: the l members take it as it is. */
  *_errno() = 0;
  rl = varnel_tgammal(5.0L);
  check(*_errno() == 0 && rl == 24.0L, 16u);
  check(varnel_nextafterl(1.0L, 2.0L) == 1.0L + 0x1p-52L, 32u);

  check(check_cxx_exports() == 0, 64u);
  ExitProcess(failed);
}
