// The library's own elementary functions at their special arguments: signed
// zeros, infinities, NaN payloads, the domain edges of log1p, the overflow
// and underflow thresholds and their neighbours, subnormal arguments, and
// errno after every call (the exported pair expm1/log1p reports as glibc
// 2.36 does on x86-64; exp, log, pow and sin never touch errno).  Each row
// is checked bit for bit.
#include <cerrno>
#include <cstdint>

#include <gtest/gtest.h>

#include <varnel/math/elementary/portable.hpp>

#include "support/bits.hpp"

namespace {

namespace el = varnel::math::elementary::portable;
using varnel_test::bits_of;
using varnel_test::from_bits;
using varnel_test::from_bits32;

constexpr int untouched = -12345;  // errno before each call

enum class fn { exp, log, sin, expm1, log1p };

const char* name_of(fn f) {
  switch (f) {
    case fn::exp:
      return "exp";
    case fn::log:
      return "log";
    case fn::sin:
      return "sin";
    case fn::expm1:
      return "expm1";
    case fn::log1p:
      return "log1p";
  }
  return "?";
}

double call(fn f, double x) {
  switch (f) {
    case fn::exp:
      return el::exp(x);
    case fn::log:
      return el::log(x);
    case fn::sin:
      return el::sin(x);
    case fn::expm1:
      return el::expm1(x);
    case fn::log1p:
      return el::log1p(x);
  }
  return 0;
}

struct case64 {
  fn f;
  std::uint64_t x;
  std::uint64_t expected;
  int err;  // errno after the call; `untouched` when the call must not store
};

// Patterns used below.
constexpr std::uint64_t pzero = 0x0000000000000000u, nzero = 0x8000000000000000u;
constexpr std::uint64_t pinf = 0x7FF0000000000000u, ninf = 0xFFF0000000000000u;
constexpr std::uint64_t one = 0x3FF0000000000000u, minus_one = 0xBFF0000000000000u;
constexpr std::uint64_t qnan = 0x7FF8000000000000u;           // the library's quiet NaN
constexpr std::uint64_t nan_payload = 0x7FF8000000012345u;    // quiet, payload kept
constexpr std::uint64_t snan_negative = 0xFFF4000000000001u;  // signalling, sign set
constexpr std::uint64_t snan_quieted = 0xFFFC000000000001u;   // ... after x + x
constexpr std::uint64_t min_subnormal = 0x0000000000000001u;
constexpr std::uint64_t subnormal = 0x000012688B70E62Bu;  // 1e-310
constexpr std::uint64_t max_double = 0x7FEFFFFFFFFFFFFFu;

const case64 cases64[] = {
    // exp: exact points, NaNs, infinities; overflow beyond 709.782712893384
    // (0x40862E42FEFA39EF, result DBL_MAX's neighbourhood), underflow through
    // the subnormals to +0 below -745.1332191019411, never an errno.
    {fn::exp, pzero, one, untouched},
    {fn::exp, nzero, one, untouched},
    {fn::exp, pinf, pinf, untouched},
    {fn::exp, ninf, pzero, untouched},
    {fn::exp, nan_payload, nan_payload, untouched},
    {fn::exp, snan_negative, snan_quieted, untouched},
    {fn::exp, 0x40862E42FEFA39EFu, 0x7FEFFFFFFFFFFF2Au, untouched},  // 709.782712893384
    {fn::exp, 0x40862E42FEFA39F0u, pinf, untouched},                 // the next double overflows
    {fn::exp, 0x4086300000000000u, pinf, untouched},                 // 710
    {fn::exp, 0xC0874910D52D3051u, min_subnormal, untouched},        // -745.1332191019411
    {fn::exp, 0xC0874910D52D3052u, pzero, untouched},                // the next double below
    {fn::exp, 0xC087480000000000u, min_subnormal, untouched},        // -745
    {fn::exp, 0xC086232BDD7ABCD2u, 0x001000000000007Cu, untouched},  // -708.3964185322641: normal
    {fn::exp, 0xC086232BDD7ABCD3u, 0x000FFFFFFFFFFE7Cu, untouched},  // the next double: subnormal
    {fn::exp, 0x3C90000000000000u, 0x3FF0000000000000u, untouched},  // 2^-54: 1 + 2^-54 rounds to 1
    {fn::exp, 0x3CB0000000000000u, 0x3FF0000000000001u, untouched},  // 2^-52
    {fn::exp, 0xBCA0000000000000u, 0x3FEFFFFFFFFFFFFFu, untouched},  // -2^-53
    {fn::exp, one, 0x4005BF0A8B145769u, untouched},                  // e
    // log: +-0 -> -inf, negative -> the quiet NaN, +inf, NaNs, subnormals.
    {fn::log, pzero, ninf, untouched},
    {fn::log, nzero, ninf, untouched},
    {fn::log, minus_one, qnan, untouched},
    {fn::log, ninf, qnan, untouched},
    {fn::log, 0x8000000000000001u, qnan, untouched},  // -min subnormal
    {fn::log, pinf, pinf, untouched},
    {fn::log, nan_payload, nan_payload, untouched},
    {fn::log, snan_negative, snan_quieted, untouched},
    {fn::log, one, pzero, untouched},
    {fn::log, min_subnormal, 0xC0874385446D71C3u, untouched},        // -744.4400719213812
    {fn::log, subnormal, 0xC0864E69394D9508u, untouched},            // log(1e-310) = -713.8013788281542
    {fn::log, 0x0010000000000000u, 0xC086232BDD7ABCD2u, untouched},  // smallest normal
    {fn::log, max_double, 0x40862E42FEFA39EFu, untouched},
    {fn::log, 0x4000000000000000u, 0x3FE62E42FEFA39EFu, untouched},  // ln 2
    // Where the exact sum of k = -1, 0, 1 (from 0.35400390625 to 2.83203125)
    // meets the main path, correctly rounded on both sides.
    {fn::log, 0x4006A80000000000u, 0x3FF0A7E98B8E2EE7u, untouched},  // 2.83203125: 1.0409942103751122
    {fn::log, 0x4006A7FFFFFFFFFFu, 0x3FF0A7E98B8E2EE7u, untouched},  // the double below
    {fn::log, 0x3FD6A80000000000u, 0xBFF09D7AF2E927FFu, untouched},  // 0.35400390625: -1.0384473313047236
    {fn::log, 0x3FD6A7FFFFFFFFFFu, 0xBFF09D7AF2E92800u, untouched},  // the double below
    // sin: zeros keep their sign; the ends of the domain.
    {fn::sin, pzero, pzero, untouched},
    {fn::sin, nzero, nzero, untouched},
    {fn::sin, min_subnormal, min_subnormal, untouched},
    {fn::sin, subnormal, subnormal, untouched},
    {fn::sin, 0x3FF921FB54442D18u, one, untouched},                  // pi/2 rounded
    {fn::sin, 0x3FD0000000000000u, 0x3FCFAAEED4F31577u, untouched},  // 0.25
    // expm1: zeros, tiny and subnormal arguments unchanged without errno;
    // -inf -> -1; overflow -> +inf with ERANGE.
    {fn::expm1, pzero, pzero, untouched},
    {fn::expm1, nzero, nzero, untouched},
    {fn::expm1, min_subnormal, min_subnormal, untouched},
    {fn::expm1, subnormal, subnormal, untouched},
    {fn::expm1, 0x800012688B70E62Bu, 0x800012688B70E62Bu, untouched},
    {fn::expm1, 0x0010000000000000u, 0x0010000000000000u, untouched},
    {fn::expm1, 0x3C8FFFFFFFFFFFFFu, 0x3C8FFFFFFFFFFFFFu, untouched},  // just below 2^-54
    {fn::expm1, pinf, pinf, untouched},
    {fn::expm1, ninf, minus_one, untouched},
    {fn::expm1, nan_payload, nan_payload, untouched},
    {fn::expm1, snan_negative, snan_quieted, untouched},
    {fn::expm1, 0x40862E42FEFA39EFu, 0x7FEFFFFFFFFFFF2Au, untouched},  // largest with a finite result
    {fn::expm1, 0x40862E42FEFA39F0u, pinf, ERANGE},
    {fn::expm1, 0x4089000000000000u, pinf, ERANGE},  // 800
    {fn::expm1, max_double, pinf, ERANGE},
    {fn::expm1, 0xC089000000000000u, minus_one, untouched},            // -800
    {fn::expm1, 0xC044000000000000u, minus_one, untouched},            // -40
    {fn::expm1, 0xC080000000000000u, minus_one, untouched},            // -512, the edge of the table path
    {fn::expm1, 0x4080000000000000u, 0x6E19476504BA852Eu, untouched},  // e^512 - 1 (512 is special-cased)
    {fn::expm1, one, 0x3FFB7E151628AED3u, untouched},                  // e - 1
    // log1p: the pole -1 (ERANGE), below it a domain error (EDOM and the
    // library's quiet NaN), zeros and subnormals unchanged, +inf, NaNs.
    {fn::log1p, pzero, pzero, untouched},
    {fn::log1p, nzero, nzero, untouched},
    {fn::log1p, min_subnormal, min_subnormal, untouched},
    {fn::log1p, subnormal, subnormal, untouched},
    {fn::log1p, 0x800012688B70E62Bu, 0x800012688B70E62Bu, untouched},
    {fn::log1p, minus_one, ninf, ERANGE},
    {fn::log1p, 0xBFF0000000000001u, qnan, EDOM},  // the double just below -1
    {fn::log1p, 0xC000000000000000u, qnan, EDOM},  // -2
    {fn::log1p, 0xFFEFFFFFFFFFFFFFu, qnan, EDOM},  // -DBL_MAX
    {fn::log1p, ninf, qnan, EDOM},
    {fn::log1p, pinf, pinf, untouched},
    {fn::log1p, nan_payload, nan_payload, untouched},
    {fn::log1p, snan_negative, snan_quieted, untouched},
    {fn::log1p, 0xBFEFFFFFFFFFFFFFu, 0xC0425E4F7B2737FAu, untouched},  // -1 + 2^-53: -36.7368005696771
    {fn::log1p, max_double, 0x40862E42FEFA39EFu, untouched},
    {fn::log1p, 0x7FE0000000000000u, 0x408628B76E3A7B61u, untouched},  // 2^1023: 709.0895657128241
    // 1 + x rounds up to 1 + 2^-9, the lower end of the cell above the centre
    // cell, from x just below 2^-9: f = (1 - c) + x would need 54 bits there
    // (the direct reduction gives ...10E6); correctly rounded, and 2^-9 and
    // its neighbours around it.
    {fn::log1p, 0x3F5FFFFFFFFFFFFFu, 0x3F5FF802A9AB10E5u, untouched},  // 0.0019512201312617491
    {fn::log1p, 0x3F5FFFFFFFFFFF00u, 0x3F5FF802A9AB0FE7u, untouched},
    {fn::log1p, 0x3F60000000000000u, 0x3F5FF802A9AB10E6u, untouched},  // 2^-9
    {fn::log1p, 0x3F60000000000001u, 0x3F5FF802A9AB10E8u, untouched},
};

TEST(ElementarySpecialValues, Binary64) {
  for (const case64& c : cases64) {
    SCOPED_TRACE(testing::Message() << name_of(c.f) << "(" << from_bits(c.x) << ") pattern 0x" << std::hex << c.x);
    errno = untouched;
    const double r = call(c.f, from_bits(c.x));
    const int err = errno;
    EXPECT_EQ(bits_of(r), c.expected) << std::hex << "got 0x" << bits_of(r);
    EXPECT_EQ(err, c.err);
  }
}

// pow: a NaN in either argument gives a NaN (quiet, payload of the NaN
// argument), and x^y beyond the largest double is +infinity; no errno.
TEST(ElementarySpecialValues, Pow) {
  const struct {
    std::uint64_t x, y, expected;
  } cases[] = {
      {nan_payload, 0x4000000000000000u, nan_payload},
      {0x4016000000000000u, nan_payload, nan_payload},  // 5.5, NaN
      {snan_negative, 0x3FF0000000000000u, snan_quieted},
      {0x4070500000000000u, 0x4061C00000000000u, pinf},                 // 261^142 overflows
      {0x4070500000000000u, 0x405FC00000000000u, 0x7FA75442E24C4D77u},  // 261^127 = 8.19e306
      {0x4016000000000000u, 0x0000000000000000u, one},                  // 5.5^0
      {0x4016000000000000u, 0x3FF0000000000000u, 0x4016000000000000u},  // 5.5^1
      {0x4030000000000000u, 0x3FE0000000000000u, 0x4010000000000000u},  // 16^0.5 = 4
      {0x4030000000000000u, 0xBFE0000000000000u, 0x3FD0000000000000u},  // 16^-0.5 = 0.25
      {0x4020000000000000u, 0x4059000000000000u, 0x52B0000000000000u},  // 8^100 = 2^300
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "pow(" << from_bits(c.x) << ", " << from_bits(c.y) << ")");
    errno = untouched;
    const double r = el::pow(from_bits(c.x), from_bits(c.y));
    EXPECT_EQ(bits_of(r), c.expected) << std::hex << "got 0x" << bits_of(r);
    EXPECT_EQ(errno, untouched);
  }
}

// The float members: the same rows in binary32, errno as glibc's expm1f and
// log1pf.
TEST(ElementarySpecialValues, Binary32) {
  enum class f32 { expm1, log1p };
  const struct {
    f32 f;
    std::uint32_t x, expected;
    int err;
  } cases[] = {
      {f32::expm1, 0x00000000u, 0x00000000u, untouched},
      {f32::expm1, 0x80000000u, 0x80000000u, untouched},
      {f32::expm1, 0x00000001u, 0x00000001u, untouched},  // smallest subnormal
      {f32::expm1, 0x800116C2u, 0x800116C2u, untouched},  // -1e-40
      {f32::expm1, 0x32FFFFFFu, 0x32FFFFFFu, untouched},  // just below 2^-25
      {f32::expm1, 0x7F800000u, 0x7F800000u, untouched},
      {f32::expm1, 0xFF800000u, 0xBF800000u, untouched},  // -inf -> -1
      {f32::expm1, 0x7FC12345u, 0x7FC12345u, untouched},
      {f32::expm1, 0xFFA00001u, 0xFFE00001u, untouched},  // signalling, quieted
      {f32::expm1, 0x42B17217u, 0x7F7FFF84u, untouched},  // 88.72283172607422: finite
      {f32::expm1, 0x42B17218u, 0x7F800000u, ERANGE},     // the next float overflows
      {f32::expm1, 0x42C80000u, 0x7F800000u, ERANGE},     // 100
      {f32::expm1, 0x7F7FFFFFu, 0x7F800000u, ERANGE},     // FLT_MAX
      {f32::expm1, 0xC2C80000u, 0xBF800000u, untouched},  // -100
      {f32::expm1, 0xC2B17218u, 0xBF800000u, untouched},  // -88.72283935546875
      {f32::expm1, 0x3F800000u, 0x3FDBF0A9u, untouched},  // e - 1
      {f32::log1p, 0x00000000u, 0x00000000u, untouched},
      {f32::log1p, 0x80000000u, 0x80000000u, untouched},
      {f32::log1p, 0x00000001u, 0x00000001u, untouched},
      {f32::log1p, 0x800116C2u, 0x800116C2u, untouched},
      {f32::log1p, 0x00800000u, 0x00800000u, untouched},  // smallest normal
      {f32::log1p, 0xBF800000u, 0xFF800000u, ERANGE},     // -1
      {f32::log1p, 0xBF800001u, 0x7FC00000u, EDOM},       // just below -1
      {f32::log1p, 0xFF800000u, 0x7FC00000u, EDOM},       // -inf
      {f32::log1p, 0x7F800000u, 0x7F800000u, untouched},
      {f32::log1p, 0x7FC12345u, 0x7FC12345u, untouched},
      {f32::log1p, 0xFFA00001u, 0xFFE00001u, untouched},
      {f32::log1p, 0xBF7FFFFFu, 0xC1851592u, untouched},  // -1 + 2^-24: -16.635532
      {f32::log1p, 0x7F7FFFFFu, 0x42B17218u, untouched},  // FLT_MAX: 88.72284
      {f32::log1p, 0x3F800000u, 0x3F317218u, untouched},  // ln 2
  };
  for (const auto& c : cases) {
    const float x = from_bits32(c.x);
    SCOPED_TRACE(testing::Message() << (c.f == f32::expm1 ? "expm1f(" : "log1pf(") << x << ") pattern 0x" << std::hex
                                    << c.x);
    errno = untouched;
    const float r = c.f == f32::expm1 ? el::expm1(x) : el::log1p(x);
    const int err = errno;
    EXPECT_EQ(bits_of(r), c.expected) << std::hex << "got 0x" << bits_of(r);
    EXPECT_EQ(err, c.err);
  }
}

}  // namespace
