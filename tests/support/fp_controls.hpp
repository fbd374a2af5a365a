// The floating-point controls of the calling thread, without the status
// flags (which computations raise legitimately): rounding modes, exception
// masks or trap enables, and the flush-to-zero and denormals-are-zero
// switches.  Read from the registers themselves: fegetenv's layout is the
// C library's own (MinGW's leaves the MXCSR field unset).
//
//   x86-64   the x87 control word, and MXCSR without its six status flags
//   AArch64  FPCR, which holds controls only (the flags live in FPSR)
//   s390x    the floating-point control register without its flags byte
//            and data-exception code: the exception masks and the
//            rounding modes
#ifndef VARNEL_TESTS_SUPPORT_FP_CONTROLS_HPP
#define VARNEL_TESTS_SUPPORT_FP_CONTROLS_HPP

#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace varnel_test {

struct fp_controls {
  std::uint64_t word;   // x87 control word; FPCR; the FPC's controls
  std::uint64_t other;  // MXCSR's controls (x86-64), else 0
  bool operator==(const fp_controls& o) const { return word == o.word && other == o.other; }
  bool operator!=(const fp_controls& o) const { return !(*this == o); }
};

inline fp_controls current_fp_controls() {
#if defined(__x86_64__) || defined(_M_X64)
  unsigned short x87;
  __asm__ volatile("fnstcw %0" : "=m"(x87));
  return {x87, _mm_getcsr() & ~0x3Fu};
#elif defined(__aarch64__)
  std::uint64_t fpcr;
  __asm__ volatile("mrs %0, fpcr" : "=r"(fpcr));
  return {fpcr, 0};
#elif defined(__s390x__)
  unsigned int fpc;
  __asm__ volatile("efpc %0" : "=d"(fpc));
  return {fpc & 0xFF0000FFu, 0};  // masks (byte 0) and rounding modes (byte 3)
#else
#error "the floating-point controls of this processor are not known to the tests"
#endif
}

}  // namespace varnel_test

#endif
