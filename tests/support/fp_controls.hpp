// The floating-point controls of the calling thread: the x87 control word
// and MXCSR without its six status flags (rounding modes, exception masks,
// flush-to-zero and denormals-are-zero).  Read from the registers
// themselves: fegetenv's layout is the C library's own (MinGW's leaves the
// MXCSR field unset), and the status flags, which computations raise
// legitimately, are left out.
#ifndef VARNEL_TESTS_SUPPORT_FP_CONTROLS_HPP
#define VARNEL_TESTS_SUPPORT_FP_CONTROLS_HPP

#include <xmmintrin.h>

namespace varnel_test {

struct fp_controls {
  unsigned short x87;
  unsigned int mxcsr;
  bool operator==(const fp_controls& o) const { return x87 == o.x87 && mxcsr == o.mxcsr; }
  bool operator!=(const fp_controls& o) const { return !(*this == o); }
};

inline fp_controls current_fp_controls() {
  unsigned short x87;
  __asm__ volatile("fnstcw %0" : "=m"(x87));
  return {x87, _mm_getcsr() & ~0x3Fu};
}

}  // namespace varnel_test

#endif
