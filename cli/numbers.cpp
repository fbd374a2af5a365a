#include "numbers.hpp"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <varnel/math/tools/layouts.hpp>

namespace varnel_cli {

namespace {

using varnel::math::tools::word32_layout;
using varnel::math::tools::word64_layout;

namespace tools = varnel::math::tools;

// The format a value of type s is written in: a long double is binary64,
// x87 or binary128, as the libraries' long double is.
bool is_x87(scalar s) { return s == scalar::long_double && tools::long_double_is_x87; }
bool is_binary128(scalar s) { return s == scalar::long_double && tools::long_double_is_binary128; }
// x87 or binary128: a format with values binary64 lacks.
bool is_wide(scalar s) { return is_x87(s) || is_binary128(s); }
bool is_binary64(scalar s) { return s == scalar::binary64 || (s == scalar::long_double && !is_wide(s)); }

// The pattern of a wide long double as two words, most significant first:
// x87 {sign and exponent, significand}, binary128 {sign, exponent and the
// top 48 fraction bits; the low 64 fraction bits}.  Read through the
// layouts, which know the byte order.
struct wide_bits {
  std::uint64_t high, low;
};

// (Templates over the layout, so that only the branch of the platform's
// format is compiled.)
template <class L = tools::layout_of_t<long double>> wide_bits bits_of_wide(long double x) {
  if constexpr (L::kind == tools::layout_kind::x87) {
    return {L::sign_exponent(x), L::significand(x)};
  } else if constexpr (L::kind == tools::layout_kind::binary128) {
    return {L::high_word(x), L::low_word(x)};
  } else {
    return {0, word64_layout::to_bits(static_cast<double>(x))};  // not reached: binary64 is printed as such
  }
}

template <class L = tools::layout_of_t<long double>> long double wide_from_bits(wide_bits b) {
  if constexpr (L::kind == tools::layout_kind::x87) {
    unsigned char bytes[16] = {};
    const auto sign_exponent = static_cast<std::uint16_t>(b.high);
    std::memcpy(bytes, &b.low, 8);
    std::memcpy(bytes + 8, &sign_exponent, 2);
    long double x;
    std::memcpy(&x, bytes, sizeof x);
    return x;
  } else if constexpr (L::kind == tools::layout_kind::binary128) {
    return L::from_words(b.high, b.low);
  } else {
    return word64_layout::from_bits(b.low);  // not reached: binary64 is read as such
  }
}

// Hex digits of a pattern of the long double: 20 for x87 (4 of sign and
// exponent, 16 of significand), 32 for binary128 (16 and 16).
int high_digits(scalar s) { return is_x87(s) ? 4 : 16; }

bool spells_infinity(const std::string& text) {
  for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) == 'i' &&
        std::tolower(static_cast<unsigned char>(text[i + 1])) == 'n' &&
        std::tolower(static_cast<unsigned char>(text[i + 2])) == 'f') {
      return true;
    }
  }
  return false;
}

std::string parse_bits(const std::string& text, scalar s, long double& out) {
  const std::size_t max_digits = s == scalar::binary32 ? 8 : is_binary64(s) ? 16 : is_x87(s) ? 20 : 32;
  const bool prefixed = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (!prefixed) return "malformed bit pattern '" + text + "' (expected 0x and hex digits)";
  const std::string digits = text.substr(2);
  for (const char c : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      return "malformed bit pattern '" + text + "' (expected 0x and hex digits)";
    }
  }
  if (digits.size() > max_digits) {
    return "bit pattern '" + text + "' is wider than the " + std::to_string(max_digits * 4) + " bits of " +
           scalar_name(s);
  }
  if (s == scalar::binary32) {
    out = word32_layout::from_bits(static_cast<std::uint32_t>(std::strtoull(digits.c_str(), nullptr, 16)));
  } else if (is_binary64(s)) {
    out = word64_layout::from_bits(std::strtoull(digits.c_str(), nullptr, 16));
  } else {
    const std::size_t split = digits.size() > 16 ? digits.size() - 16 : 0;
    wide_bits b;
    b.high = split ? std::strtoull(digits.substr(0, split).c_str(), nullptr, 16) : 0;
    b.low = std::strtoull(digits.substr(split).c_str(), nullptr, 16);
    out = wide_from_bits(b);
  }
  return "";
}

std::string hex_digits(std::uint64_t v, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*" PRIx64, width, v);
  return buf;
}

// Orders the sign-magnitude patterns of one format along the number line
// (-0 and +0 share a key), so that the distance of two keys counts the
// representable values between them.
std::uint64_t order_key(std::uint64_t bits, std::uint64_t sign_mask) {
  const std::uint64_t middle = 0x8000000000000000u;
  return (bits & sign_mask) ? middle - (bits & ~sign_mask) : middle + bits;
}

std::string steps(std::uint64_t a, std::uint64_t b) { return std::to_string(a > b ? a - b : b - a) + " ulp"; }

long double binary64_spacing(long double at) {
  const double a = std::fabs(static_cast<double>(at));
  if (!(a >= 0x1p-1022)) return std::ldexp(1.0, -1074);
  int e = 0;
  std::frexp(a, &e);
  return std::ldexp(1.0, e - 53);  // exact as a double
}

}  // namespace

scalar scalar_of(precision p) {
  return p == precision::single ? scalar::binary32 : p == precision::dbl ? scalar::binary64 : scalar::long_double;
}

const char* scalar_name(scalar s) {
  return s == scalar::binary32 ? "float" : s == scalar::binary64 ? "double" : "long double";
}

std::string parse_number(const std::string& text, scalar s, bool bits, long double& out) {
  if (text.empty()) return "empty number";
  if (bits) return parse_bits(text, s, out);
  if (std::isspace(static_cast<unsigned char>(text[0]))) return "malformed number '" + text + "'";
  const char* begin = text.c_str();
  char* end = nullptr;
  // strtod and friends store ERANGE for subnormal and underflowing values,
  // which are still the correctly rounded reading; only an overflow to
  // infinity from finite digits is refused, below.
  if (s == scalar::binary32) {
    out = std::strtof(begin, &end);
  } else if (is_binary64(s)) {
    out = std::strtod(begin, &end);
  } else {
    out = std::strtold(begin, &end);
  }
  if (end != begin + text.size()) return "malformed number '" + text + "'";
  if (std::isinf(out) && !spells_infinity(text)) {
    return "number '" + text + "' is out of the range of " + scalar_name(s);
  }
  return "";
}

bool parse_count(const std::string& text, long max, long& out) {
  if (text.empty() || text.size() > 9) return false;
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  out = std::strtol(text.c_str(), nullptr, 10);
  return out >= 1 && out <= max;
}

std::string shortest(long double value, scalar s) {
  char buf[64];
  std::to_chars_result r;
  if (s == scalar::binary32) {
    r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value));
  } else if (is_binary64(s)) {
    r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value));
  } else {
    r = std::to_chars(buf, buf + sizeof buf, value);
  }
  return std::string(buf, r.ptr);
}

std::string hex(long double value, scalar s) {
  if (std::isnan(value)) {
    if (s == scalar::binary32) return "nan(0x" + hex_digits(word32_layout::to_bits(static_cast<float>(value)), 8) + ")";
    if (is_binary64(s)) return "nan(0x" + hex_digits(word64_layout::to_bits(static_cast<double>(value)), 16) + ")";
    const wide_bits b = bits_of_wide(value);
    return "nan(0x" + hex_digits(b.high, high_digits(s)) + hex_digits(b.low, 16) + ")";
  }
  if (std::isinf(value)) return std::signbit(value) ? "-inf" : "inf";
  if (!is_wide(s)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%a", static_cast<double>(value));  // a float widens exactly
    return buf;
  }
  const std::string sign = std::signbit(value) ? "-" : "";
  if (value == 0) return sign + "0x0p+0";
  // Normalised to a leading 1 like the other formats, rather than the x87
  // style with the integer bit as a whole hex digit.  The significand (64
  // bits in x87, 113 in binary128) is taken 64 bits at a time; every step
  // is exact.
  int e = 0;
  const long double m = std::frexp(std::fabs(value), &e);  // [0.5, 1)
  const long double top = std::ldexp(m, 64);
  const auto high = static_cast<std::uint64_t>(top);
  const auto low = static_cast<std::uint64_t>(std::ldexp(top - static_cast<long double>(high), 64));
  std::string fraction = hex_digits(high << 1 | low >> 63, 16) + hex_digits(low << 1, 16);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  const int exponent = e - 1;
  return sign + "0x1" + (fraction.empty() ? "" : "." + fraction) + "p" + (exponent >= 0 ? "+" : "") +
         std::to_string(exponent);
}

std::string errno_name(int error) {
  if (error == 0) return "ok";
  if (error == EDOM) return "EDOM";
  if (error == ERANGE) return "ERANGE";
  return "errno " + std::to_string(error);
}

std::string ulp_distance(long double ours, long double theirs, scalar s) {
  const bool nan_a = std::isnan(ours);
  const bool nan_b = std::isnan(theirs);
  if (nan_a || nan_b) return nan_a && nan_b ? "0 ulp" : "nan";
  if (s == scalar::binary32) {
    return steps(order_key(word32_layout::to_bits(static_cast<float>(ours)), word32_layout::sign_mask),
                 order_key(word32_layout::to_bits(static_cast<float>(theirs)), word32_layout::sign_mask));
  }
  const bool both_binary64 = static_cast<double>(ours) == ours && static_cast<double>(theirs) == theirs;
  if (is_binary64(s) || both_binary64) {
    return steps(order_key(word64_layout::to_bits(static_cast<double>(ours)), word64_layout::sign_mask),
                 order_key(word64_layout::to_bits(static_cast<double>(theirs)), word64_layout::sign_mask));
  }
  // A wide value between binary64 values: the long-double library computes
  // in binary64, so the distance is told in binary64 ulps at the platform's
  // value.
  if (std::isinf(ours) || std::isinf(theirs)) return "inf ulp";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3Lg ulp", std::fabs(ours - theirs) / binary64_spacing(theirs));
  return buf;
}

}  // namespace varnel_cli
