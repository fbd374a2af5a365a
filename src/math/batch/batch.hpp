// The batch library inside: one table of entry points per instruction-set
// level (level.cpp compiled once for each), and the choice among them
// (dispatch.cpp), which the exports (exports.cpp) call through.
#ifndef VARNEL_SRC_MATH_BATCH_BATCH_HPP
#define VARNEL_SRC_MATH_BATCH_BATCH_HPP

#include <cstddef>

#include <varnel/math/config.h>

#include "catalogue.generated.h"

namespace varnel::math::batch {

// The array signatures of the exports, by shape and element type.
template <class T> using unary_fn = std::size_t (*)(std::size_t, const T*, T*, int*);
template <class T> using binary_fn = std::size_t (*)(std::size_t, const T*, const T*, T*, int*);
template <class T> using toward_fn = std::size_t (*)(std::size_t, const T*, const VARNEL_MATH_LONG_DOUBLE*, T*, int*);
template <class T> using to_long_fn = std::size_t (*)(std::size_t, const T*, long*, int*);
template <class T> using to_llong_fn = std::size_t (*)(std::size_t, const T*, long long*, int*);

// Every export of one level: <name> (double) and <name>f (float).
struct level_table {
  const char* name;
#define VARNEL_BATCH_MEMBERS(name, shape, road) \
  shape##_fn<double> name;                      \
  shape##_fn<float> name##f;
  VARNEL_CATALOGUE_FUNCTIONS(VARNEL_BATCH_MEMBERS)
#undef VARNEL_BATCH_MEMBERS
};

// The levels built into this library, lowest first; the x86-64 ones exist
// only there.
extern const level_table level_scalar;
#if defined(__x86_64__) || defined(_M_X64)
#define VARNEL_BATCH_X86 1
extern const level_table level_sse2;
extern const level_table level_avx2;
extern const level_table level_avx512f;
#else
#define VARNEL_BATCH_X86 0
#endif

// The level in use: chosen on the first call, the same in every thread.
const level_table& active_level() noexcept;

}  // namespace varnel::math::batch

#endif
