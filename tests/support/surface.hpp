// Every export of the three math libraries, one table per shape, built
// from the catalogue, so that the whole-surface tests (consistency,
// threads, fuzzing, the golden digest) walk the same lists.  A function of
// the catalogue without its exports fails to compile here, naming them.
#ifndef VARNEL_TESTS_SUPPORT_SURFACE_HPP
#define VARNEL_TESTS_SUPPORT_SURFACE_HPP

#include <varnel/math/c99.h>

#include "catalogue.hpp"

namespace varnel_test {

// How a float member relates to its double sibling.
enum class float_road {
  narrowed,  // widened, computed at double, narrow_result to float
  rounded,   // widened, computed at double, plainly rounded (cbrt)
  native,    // computed in float
};

struct unary_export {
  const char* name;
  double (*d)(double);
  float (*f)(float);
  long double (*l)(long double);
  float_road road;
};

struct binary_export {
  const char* name;
  double (*d)(double, double);
  float (*f)(float, float);
  long double (*l)(long double, long double);
};

template <class R> struct integer_export {
  const char* name;
  R (*d)(double);
  R (*f)(float);
  R (*l)(long double);
};

struct toward_export {
  const char* name;
  double (*d)(double, long double);
  float (*f)(float, long double);
  long double (*l)(long double, long double);
};

#define VARNEL_TEST_UNARY(name, road) {#name, varnel_##name, varnel_##name##f, varnel_##name##l, float_road::road},
#define VARNEL_TEST_MEMBERS(name, road) {#name, varnel_##name, varnel_##name##f, varnel_##name##l},
inline const unary_export unary_exports[] = {VARNEL_CATALOGUE_UNARY(VARNEL_TEST_UNARY)};
inline const binary_export binary_exports[] = {VARNEL_CATALOGUE_BINARY(VARNEL_TEST_MEMBERS)};
inline const integer_export<long> to_long_exports[] = {VARNEL_CATALOGUE_TO_LONG(VARNEL_TEST_MEMBERS)};
inline const integer_export<long long> to_llong_exports[] = {VARNEL_CATALOGUE_TO_LLONG(VARNEL_TEST_MEMBERS)};
inline const toward_export toward_exports[] = {VARNEL_CATALOGUE_TOWARD(VARNEL_TEST_MEMBERS)};
#undef VARNEL_TEST_UNARY
#undef VARNEL_TEST_MEMBERS

}  // namespace varnel_test

#endif
