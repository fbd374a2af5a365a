// Reading and writing numbers for varnel-math: arguments in decimal, hex
// float, inf/nan or (with --bits) as a bit pattern; results in shortest
// round-trip decimal, normalised hex float and errno name.
#ifndef VARNEL_CLI_NUMBERS_HPP
#define VARNEL_CLI_NUMBERS_HPP

#include <string>

#include "function_table.hpp"

namespace varnel_cli {

// The function table, speed inputs and reference data (common/).
using namespace varnel_common;

// The type of one argument or result: float, double or long double.  A long
// double is read and written in the libraries' format: the x87 extended
// format on x86-64 Linux, binary128 on AArch64 and s390x Linux, binary64 on
// Windows (tools/layouts.hpp decides).
enum class scalar { binary32, binary64, long_double };

scalar scalar_of(precision p);
const char* scalar_name(scalar s);  // "float", "double", "long double"

// Parses text as a value of type s and stores it (exactly) in out.  With
// bits, text must be 0x followed by at most 8, 16, 20 or 32 hex digits: the
// pattern of a float, a double (or binary64 long double), an x87 long
// double (sign and exponent in the top 16 of the 80 bits) or a binary128
// one (sign and exponent in the top 16 of the 128 bits).  Returns an empty string on success, else what
// is wrong with the text.
std::string parse_number(const std::string& text, scalar s, bool bits, long double& out);

// Parses a count (a decimal integer from 1 to max); false when malformed.
bool parse_count(const std::string& text, long max, long& out);

// Shortest decimal that reads back as the same value of type s.
std::string shortest(long double value, scalar s);

// Hex float with a leading 1 (0x1.8p+1), zeros and infinities spelled out,
// and NaNs as nan(<bit pattern>) so that payload and sign are visible.
std::string hex(long double value, scalar s);

// "ok" for 0, else "EDOM", "ERANGE" or "errno <n>".
std::string errno_name(int error);

// How far apart two values of type s are, for --compare: "0 ulp", "3 ulp"
// (steps between representable values, float or binary64), a fraction of a
// binary64 ulp when either long double is not a binary64 value, "nan" when
// only one of them is a NaN.
std::string ulp_distance(long double ours, long double theirs, scalar s);

}  // namespace varnel_cli

#endif
