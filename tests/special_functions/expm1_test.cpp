// expm1: the platform's function (the library's own in the portable
// build), result and errno unchanged, in all three precisions.
#include <cerrno>
#include <limits>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>
#include <varnel/math/elementary/elementary.hpp>

#include "support/bits.hpp"

namespace {

using varnel_test::bits_of;
using varnel_test::from_bits;

// The platform's expm1, or in the portable build the library's own: the
// elementary function of elementary/elementary.hpp, result and errno unchanged.
TEST(Expm1, IsThePlatformFunction) {
  const double xs[] = {0.0,
                       -0.0,
                       1e-300,
                       0.5,
                       -0.5,
                       1.0,
                       709.0,
                       710.0,
                       -800.0,
                       std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity(),
                       from_bits(0x7FF8000000000000u)};
  for (double x : xs) {
    SCOPED_TRACE(x);
    errno = 0;
    const double expected = varnel::math::elementary::expm1(x);
    const int expected_errno = errno;
    errno = 0;
    EXPECT_EQ(bits_of(varnel_expm1(x)), bits_of(expected));
    EXPECT_EQ(errno, expected_errno);
    errno = 0;
    const float fexpected = varnel::math::elementary::expm1(static_cast<float>(x));
    const int fexpected_errno = errno;
    errno = 0;
    EXPECT_EQ(bits_of(varnel_expm1f(static_cast<float>(x))), bits_of(fexpected));
    EXPECT_EQ(errno, fexpected_errno);
    // long double: the binary64 function of the mapped argument, widened.
    EXPECT_EQ(bits_of(static_cast<double>(varnel_expm1l(x))), bits_of(expected));
  }
  // 1e-320L is not a double: it is mapped by rounding before expm1.
  EXPECT_EQ(static_cast<double>(varnel_expm1l(1e-320L)), varnel::math::elementary::expm1(static_cast<double>(1e-320L)));
}

}  // namespace
