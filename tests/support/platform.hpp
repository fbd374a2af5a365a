// Platform facts as the tests meet them.  The facts themselves are the
// library's (tools/layouts.hpp for the format of long double; the types
// for the width of long); this only turns them into test steps.
#ifndef VARNEL_TESTS_SUPPORT_PLATFORM_HPP
#define VARNEL_TESTS_SUPPORT_PLATFORM_HPP

#include <gtest/gtest.h>

#include <varnel/math/tools/layouts.hpp>

// For tests of x87 encodings that no other format has (unnormals,
// pseudo-denormals, pseudo-infinities: long double on x86-64 Linux).
#define VARNEL_REQUIRE_X87_LONG_DOUBLE()                                                                      \
  do {                                                                                                        \
    if (!::varnel::math::tools::long_double_is_x87) GTEST_SKIP() << "long double is not the x87 format here"; \
  } while (0)

// For tests of long double values binary64 lacks: beyond its range, below
// its smallest subnormal, between two of its neighbours.  The x87 format
// (x86-64 Linux) and binary128 (AArch64, s390x) have them; where long
// double is binary64 (Windows) there is nothing such a test could check.
// The values themselves come from varnel_test::long_double_from and
// long_double_power_of_two (support/bits.hpp), which build them in either
// format.
#define VARNEL_REQUIRE_WIDE_LONG_DOUBLE()                                                                              \
  do {                                                                                                                 \
    if (!::varnel::math::tools::long_double_is_wider) GTEST_SKIP() << "long double is binary64 here: no wider values"; \
  } while (0)

#endif
