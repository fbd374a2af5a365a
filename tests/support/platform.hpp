// Platform facts as the tests meet them.  The facts themselves are the
// library's (tools/layouts.hpp for the format of long double; the types
// for the width of long); this only turns them into test steps.
#ifndef VARNEL_TESTS_SUPPORT_PLATFORM_HPP
#define VARNEL_TESTS_SUPPORT_PLATFORM_HPP

#include <gtest/gtest.h>

#include <varnel/math/tools/layouts.hpp>

// For tests of x87 extended values (long double on Linux).  Where long
// double is binary64 (Windows) it holds no value that binary64 lacks, so
// there is nothing such a test could check.
#define VARNEL_REQUIRE_X87_LONG_DOUBLE()                                                                           \
  do {                                                                                                             \
    if (!::varnel::math::tools::long_double_is_x87) GTEST_SKIP() << "long double is binary64 here: no x87 values"; \
  } while (0)

#endif
