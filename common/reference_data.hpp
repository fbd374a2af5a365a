// Loader for the high-precision reference tables in common/reference/data and
// the error measures the accuracy tests report against them.
//
// Each table line is  range <TAB> x [<TAB> y] <TAB> hi <TAB> lo  with C hex
// floats; hi + lo is a double-double approximation of the exact result (hi
// correctly rounded, lo the double nearest to exact - hi).  Lines starting
// with '#' are the file's description.
#ifndef VARNEL_COMMON_REFERENCE_DATA_HPP
#define VARNEL_COMMON_REFERENCE_DATA_HPP

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace varnel_common {

struct reference_point {
  std::string range;
  double x;
  double y;  // second argument (hypot); quiet NaN for one-argument functions
  double hi;
  double lo;
};

struct reference_file {
  std::vector<std::string> header;  // the '#' lines, '#' included
  std::vector<reference_point> points;
};

namespace detail {

inline double parse_hex_double(const std::string& text, const std::string& where) {
  const char* begin = text.c_str();
  char* end = nullptr;
  // strtod may store ERANGE for subnormal values; the value is still exact,
  // so errno is not consulted.
  const double value = std::strtod(begin, &end);
  if (text.empty() || end != begin + text.size()) {
    throw std::runtime_error(where + ": malformed number '" + text + "'");
  }
  return value;
}

inline std::vector<std::string> split_tabs(const std::string& line) {
  std::vector<std::string> fields;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) {
      return fields;
    }
    start = tab + 1;
  }
}

}  // namespace detail

// Reads one table; throws std::runtime_error naming the file and line when
// the file is missing or a line is malformed.
inline reference_file read_reference_file(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    throw std::runtime_error("cannot open reference data " + path);
  }
  reference_file file;
  std::string line;
  unsigned long number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty()) {
      continue;
    }
    if (line[0] == '#') {
      file.header.push_back(line);
      continue;
    }
    const std::string where = path + ":" + std::to_string(number);
    const std::vector<std::string> fields = detail::split_tabs(line);
    if ((fields.size() != 4 && fields.size() != 5) || fields[0].empty()) {
      throw std::runtime_error(where + ": expected 4 or 5 tab-separated fields");
    }
    reference_point p;
    p.range = fields[0];
    p.x = detail::parse_hex_double(fields[1], where);
    p.y = fields.size() == 5 ? detail::parse_hex_double(fields[2], where) : std::numeric_limits<double>::quiet_NaN();
    p.hi = detail::parse_hex_double(fields[fields.size() - 2], where);
    p.lo = detail::parse_hex_double(fields[fields.size() - 1], where);
    file.points.push_back(p);
  }
  return file;
}

// Points of <directory>/<function>.tsv, e.g. function "erfc" or "tgammaf".
inline std::vector<reference_point> load_reference(const std::string& function, const std::string& directory) {
  return read_reference_file(directory + "/" + function + ".tsv").points;
}

#ifdef VARNEL_REFERENCE_DIR
inline std::vector<reference_point> load_reference(const std::string& function) {
  return load_reference(function, VARNEL_REFERENCE_DIR);
}
#endif

// Spacing of doubles at |hi|, taken in hi's own binade (so at a power of two
// it is the spacing above); 2^-1074 for zero and subnormals.
inline long double double_ulp(double hi) {
  const double a = std::fabs(hi);
  if (!(a >= DBL_MIN)) {
    return static_cast<long double>(std::ldexp(1.0, -1074));  // exact
  }
  if (a > DBL_MAX) {
    return static_cast<long double>(std::ldexp(1.0, 971));  // exact
  }
  int e = 0;
  std::frexp(a, &e);                                         // a = m * 2^e, 0.5 <= m < 1
  return static_cast<long double>(std::ldexp(1.0, e - 53));  // exact
}

// Spacing of floats at the float nearest hi, in that float's binade;
// 2^-149 for float zero and subnormals, 2^104 if hi rounds beyond FLT_MAX.
inline long double float_ulp(double hi) {
  const float f = std::fabs(static_cast<float>(hi));
  if (!(f >= FLT_MIN)) {
    return static_cast<long double>(std::ldexp(1.0, -149));  // exact
  }
  if (f > FLT_MAX) {
    return static_cast<long double>(std::ldexp(1.0, 104));  // exact
  }
  int e = 0;
  std::frexp(f, &e);
  return static_cast<long double>(std::ldexp(1.0, e - 24));  // exact
}

// |result - (hi + lo)| / ulp(hi), formed in long double so that the
// difference to hi is exact.  A NaN or infinite result counts as infinitely
// wrong (the tables hold finite references only).
inline double ulp_error(double result, double hi, double lo) {
  if (!std::isfinite(result)) {
    return std::numeric_limits<double>::infinity();
  }
  const long double diff = (static_cast<long double>(result) - hi) - lo;
  return static_cast<double>(std::fabs(diff) / double_ulp(hi));
}

// The same for a float result, in units of the float spacing at hi.
inline double ulp_error_float(float result, double hi, double lo) {
  if (!std::isfinite(result)) {
    return std::numeric_limits<double>::infinity();
  }
  const long double diff = (static_cast<long double>(result) - hi) - lo;
  return static_cast<double>(std::fabs(diff) / float_ulp(hi));
}

// |result - (hi + lo)|, for ranges measured in absolute error (log-gamma
// next to its zeros at 1 and 2).
inline double abs_error(double result, double hi, double lo) {
  if (!std::isfinite(result)) {
    return std::numeric_limits<double>::infinity();
  }
  return static_cast<double>(std::fabs((static_cast<long double>(result) - hi) - lo));
}

}  // namespace varnel_common

#endif  // VARNEL_TESTS_REFERENCE_DATA_HPP
