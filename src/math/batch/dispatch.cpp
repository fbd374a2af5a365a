// The choice of the instruction-set level, made once per process: the best
// level that the processor has and the operating system has enabled the
// registers of, or a lower one named by VARNEL_MATH_ISA.  The choice is a
// pure function of the machine and the environment, so threads racing on
// the first call all store the same table.
#include <atomic>
#include <cstdint>
#include <cstdlib>

#include <varnel/math/batch.h>

#include "batch.hpp"

#if VARNEL_BATCH_X86
#include <cpuid.h>
#endif

namespace varnel::math::batch {
namespace {

#if VARNEL_BATCH_X86
// XCR0, the register state the operating system saves and restores.  Read
// with the instruction itself: the intrinsic needs XSAVE enabled at compile
// time.
std::uint64_t xcr0() noexcept {
  std::uint32_t lo, hi;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return (static_cast<std::uint64_t>(hi) << 32) | lo;
}

// The levels of this processor and operating system, lowest first.
int best_level() noexcept {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return 1;  // x86-64: SSE2 at least
  const bool osxsave = (c >> 27) & 1u;
  const bool avx = (c >> 28) & 1u;
  if (!osxsave || !avx) return 1;
  const std::uint64_t state = xcr0();
  const bool ymm = (state & 0x6u) == 0x6u;    // XMM and YMM state
  const bool zmm = (state & 0xE6u) == 0xE6u;  // and opmask, ZMM_Hi256, Hi16_ZMM
  if (!ymm || __get_cpuid_max(0, nullptr) < 7) return 1;
  __cpuid_count(7, 0, a, b, c, d);
  const bool avx2 = (b >> 5) & 1u;
  const bool avx512f = (b >> 16) & 1u;
  if (avx512f && avx2 && zmm) return 3;
  return avx2 ? 2 : 1;
}

const level_table* const levels[] = {&level_scalar, &level_sse2, &level_avx2, &level_avx512f};
#else
int best_level() noexcept { return 0; }
const level_table* const levels[] = {&level_scalar};
#endif

// Whether two names are equal.  Written out: the Windows DLL imports from
// the C runtime only what it must.
bool same_name(const char* a, const char* b) noexcept {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

const level_table* choose() noexcept {
  int level = best_level();
  if (const char* wanted = std::getenv("VARNEL_MATH_ISA")) {
    for (int k = 0; k < level; ++k)
      if (same_name(wanted, levels[k]->name)) level = k;
  }
  return levels[level];
}

std::atomic<const level_table*> active{nullptr};

}  // namespace

const level_table& active_level() noexcept {
  const level_table* t = active.load(std::memory_order_acquire);
  if (t == nullptr) {
    t = choose();
    active.store(t, std::memory_order_release);
  }
  return *t;
}

}  // namespace varnel::math::batch

extern "C" const char* varnel_batch_isa(void) { return varnel::math::batch::active_level().name; }
