// Bit layouts of the floating formats: the one place where a value's bytes
// are read or written as integers, and where the format of long double is
// decided.  Every read and write is a byte copy into or out of an unsigned
// integer; no pointer ever reinterprets a value in place.  Where a layout
// reads part of a value, the byte order (config.h) says where that part
// lies: word_offset below is the one place that turns it into an offset.
//
// Read by the families, by narrow_result and by the varnel-math program.
#ifndef VARNEL_MATH_TOOLS_LAYOUTS_HPP
#define VARNEL_MATH_TOOLS_LAYOUTS_HPP

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include <varnel/math/config.h>

namespace varnel::math::tools {

enum class layout_kind {
  whole_word,  // all bits in one unsigned integer
  high_word,   // binary64 seen through its upper 32 bits
  x87,         // 80-bit x87 extended: significand word, sign and exponent
  binary128,   // IEEE binary128 as two 64-bit words
};

// The byte order of values in memory (config.h): integers and floating
// values share it on every platform the libraries build for.
inline constexpr bool big_endian = VARNEL_MATH_BIG_ENDIAN != 0;

// The offset of the Word-sized piece of a Size-byte value that holds its
// bits [k * W, (k + 1) * W), W the width of Word and k = 0 the least
// significant piece: counted from the first byte on a little-endian
// machine, from the last on a big-endian one.
template <class Word, std::size_t Size> constexpr std::size_t word_offset(std::size_t k) noexcept {
  static_assert(Size % sizeof(Word) == 0, "whole words only");
  return big_endian ? Size - (k + 1) * sizeof(Word) : k * sizeof(Word);
}

// The k-th least significant Word of x, and x with it replaced.
template <class Word, class T> inline Word read_word(const T& x, std::size_t k) noexcept {
  Word w;
  std::memcpy(&w, reinterpret_cast<const unsigned char*>(&x) + word_offset<Word, sizeof(T)>(k), sizeof w);
  return w;
}
template <class Word, class T> inline T with_word(T x, std::size_t k, Word w) noexcept {
  std::memcpy(reinterpret_cast<unsigned char*>(&x) + word_offset<Word, sizeof(T)>(k), &w, sizeof w);
  return x;
}

// Whole-word layout of an IEEE binary format whose width is an integer type.
template <class T, class Bits, Bits SignMask, Bits ExponentMask, Bits SignificandMask> struct word_layout {
  static constexpr layout_kind kind = layout_kind::whole_word;
  using value_type = T;
  using bits_type = Bits;
  static constexpr Bits sign_mask = SignMask;
  static constexpr Bits exponent_mask = ExponentMask;
  static constexpr Bits significand_mask = SignificandMask;

  static Bits to_bits(T x) noexcept {
    static_assert(sizeof(T) == sizeof(Bits), "layout width must match the type");
    Bits b;
    std::memcpy(&b, &x, sizeof b);
    return b;
  }
  static T from_bits(Bits b) noexcept {
    T x;
    std::memcpy(&x, &b, sizeof x);
    return x;
  }
};

// binary32: float.
using word32_layout = word_layout<float, std::uint32_t, 0x80000000u, 0x7F800000u, 0x007FFFFFu>;
// binary64: double.
using word64_layout = word_layout<double, std::uint64_t, 0x8000000000000000u, 0x7FF0000000000000u, 0x000FFFFFFFFFFFFFu>;

// A binary64 value read through its upper 32 bits only (bytes 4 to 7 on a
// little-endian machine, 0 to 3 on a big-endian one).  The low significand word is never read as an
// integer: predicates that need it patch the high word of a copy so that
// only significand bits remain, then compare the copy with 0.0.  T is
// double, or a long double that has the binary64 format.
template <class T> struct basic_high_word_layout {
  static_assert(sizeof(T) == 8 && std::numeric_limits<T>::digits == 53, "binary64 only");
  static constexpr layout_kind kind = layout_kind::high_word;
  using value_type = T;
  static constexpr std::uint32_t sign_mask = 0x80000000u;
  static constexpr std::uint32_t exponent_mask = 0x7FF00000u;
  static constexpr std::uint32_t significand_mask = 0x000FFFFFu;

  static std::uint32_t high_word(T x) noexcept { return read_word<std::uint32_t>(x, 1); }
  static T with_high_word(T x, std::uint32_t h) noexcept { return with_word(x, 1, h); }
};
using high_word_layout = basic_high_word_layout<double>;

// The x87 extended format, long double on x86-64 Linux: 80 bits in a
// 16-byte slot.  Bytes 0-7 hold the 64-bit significand with its explicit
// integer bit, bytes 8-9 the sign and 15-bit exponent; the rest is padding
// and is never read.  Only instantiated where long double has that format,
// which exists on x86 alone, a little-endian processor.
template <class T = long double> struct basic_x87_layout {
  static_assert(std::numeric_limits<T>::digits == 64 && sizeof(T) >= 10 && !big_endian,
                "the 64-bit-significand extended format, on little-endian x86");
  static constexpr layout_kind kind = layout_kind::x87;
  using value_type = T;
  static constexpr std::uint16_t sign_mask = 0x8000u;
  static constexpr std::uint16_t exponent_mask = 0x7FFFu;
  static constexpr std::uint64_t integer_bit = 0x8000000000000000u;

  static std::uint64_t significand(T x) noexcept {
    std::uint64_t m;
    std::memcpy(&m, reinterpret_cast<const unsigned char*>(&x), sizeof m);
    return m;
  }
  static std::uint16_t sign_exponent(T x) noexcept {
    std::uint16_t se;
    std::memcpy(&se, reinterpret_cast<const unsigned char*>(&x) + 8, sizeof se);
    return se;
  }
  static T with_sign_exponent(T x, std::uint16_t se) noexcept {
    std::memcpy(reinterpret_cast<unsigned char*>(&x) + 8, &se, sizeof se);
    return x;
  }
};

// IEEE binary128, long double on AArch64 and s390x Linux: 16 bytes, the
// sign, a 15-bit exponent (bias 16383) and 112 fraction bits after an
// implicit integer bit.  Read as two 64-bit words: the high word holds the
// sign, the exponent and the top 48 fraction bits, the low word the other
// 64 fraction bits.  Where each word lies depends on the byte order: the
// high word comes first on a big-endian machine, last on a little-endian
// one.
template <class T = long double> struct basic_binary128_layout {
  static_assert(std::numeric_limits<T>::digits == 113 && sizeof(T) == 16, "IEEE binary128");
  static constexpr layout_kind kind = layout_kind::binary128;
  using value_type = T;
  static constexpr std::uint64_t sign_mask = 0x8000000000000000u;
  static constexpr std::uint64_t exponent_mask = 0x7FFF000000000000u;
  static constexpr std::uint64_t significand_mask = 0x0000FFFFFFFFFFFFu;

  static std::uint64_t high_word(T x) noexcept { return read_word<std::uint64_t>(x, 1); }
  static std::uint64_t low_word(T x) noexcept { return read_word<std::uint64_t>(x, 0); }
  static T with_high_word(T x, std::uint64_t h) noexcept { return with_word(x, 1, h); }
  static T from_words(std::uint64_t high, std::uint64_t low) noexcept {
    T x{};
    return with_word(with_word(x, 1, high), 0, low);
  }
};

// --- The format of long double ----------------------------------------------
// The libraries' long double is the platform's: the x87 extended format on
// x86-64 Linux, binary128 on AArch64 and s390x Linux, binary64 on Windows
// (where it is double's twin, and where the libraries are built with that
// ABI); config.h decides.  The layouts
// read the long double of the compiler at hand, which is the libraries' one
// except in a Windows caller whose long double is wider.  Everything that
// depends on the difference reads it here.
inline constexpr bool long_double_is_binary64 = VARNEL_MATH_LDBL_MANT_DIG == 53;
inline constexpr bool long_double_is_x87 = VARNEL_MATH_LDBL_MANT_DIG == 64;
inline constexpr bool long_double_is_binary128 = VARNEL_MATH_LDBL_MANT_DIG == 113;
// A long double that holds values binary64 lacks (beyond its range, below
// its smallest subnormal, between its neighbours).
inline constexpr bool long_double_is_wider = long_double_is_x87 || long_double_is_binary128;
static_assert(std::numeric_limits<long double>::digits == VARNEL_MATH_LDBL_MANT_DIG,
              "config.h must name the long double of this compiler");
static_assert(long_double_is_binary64 || long_double_is_x87 || long_double_is_binary128,
              "long double must be binary64, the x87 extended format or binary128");

template <class T> struct layout_of;
template <> struct layout_of<float> { using type = word32_layout; };
template <> struct layout_of<double> { using type = word64_layout; };
template <> struct layout_of<long double> {
  // binary64: the high-word layout, which reads the value the way the
  // long-double library classifies it.
  using type = std::conditional_t<
      long_double_is_binary64, basic_high_word_layout<long double>,
      std::conditional_t<long_double_is_x87, basic_x87_layout<long double>, basic_binary128_layout<long double>>>;
};
template <class T> using layout_of_t = typename layout_of<T>::type;

// A long double argument as the binary64 value every family computes with.
// Where long double is binary64 that is the value itself.  For the x87 and
// binary128 formats it is round to nearest, spelled out beyond the binary64
// range, where a plain conversion is undefined behaviour in C++: magnitudes
// from the largest double up to the midpoint 2^1024 - 2^970 round to the
// largest double; the midpoint (the largest double has an odd significand)
// and beyond go to infinity, as the IEEE conversion does.  NaNs and
// everything in range convert as usual.  Both formats have a 15-bit
// exponent with bias 16383 beside the sign.
template <class LD> inline double wide_to_binary64(LD x) noexcept {
  using L = typename layout_of<LD>::type;
  // Nearly every argument lies below 2^1023 in magnitude: a look at its
  // exponent field in memory settles that without a long double
  // comparison (a library call where long double is binary128), and the
  // conversion cannot then leave the binary64 range (invalid x87 encodings
  // with such an exponent convert to a NaN).
  constexpr unsigned top_binade = 0x3FFF + 1023;  // biased exponent of 2^1023
  unsigned biased;
  if constexpr (L::kind == layout_kind::x87) {
    biased = L::sign_exponent(x) & L::exponent_mask;
  } else {
    static_assert(L::kind == layout_kind::binary128, "x87 or binary128");
    biased = static_cast<unsigned>((L::high_word(x) & L::exponent_mask) >> 48);
  }
  if (biased < top_binade) return static_cast<double>(x);
  constexpr LD largest = std::numeric_limits<double>::max();
  constexpr LD half_spacing = 0x1p970;             // 9.9792015476736e+291, half the spacing of the largest doubles
  constexpr LD midpoint = largest + half_spacing;  // 2^1024 - 2^970, exact in both formats
  const LD a = x < 0 ? -x : x;
  if (a > largest) {
    const double m = a >= midpoint ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::max();
    return x < 0 ? -m : m;
  }
  return static_cast<double>(x);
}

inline double to_binary64(long double x) noexcept {
  if constexpr (long_double_is_binary64) {
    return static_cast<double>(x);
  } else {
    return wide_to_binary64(x);
  }
}

}  // namespace varnel::math::tools

#endif
