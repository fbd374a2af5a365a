// The loops of the batch functions, one per shape: blocks of lanes through
// the function's kernel where the level has one, every other element (the
// lanes a kernel sends back, the tail of the array, and every element of a
// function without a kernel) through the scalar function itself, so that
// each result is the scalar result by definition.
//
// Errors.  Kernels send every lane that would report an error back to the
// scalar function: an element the vector path keeps reported nothing.  A
// scalar call runs with errno cleared and its code is read back; errno is
// saved before the first such call and, at the end, set to the code of the
// last element that reported one, or restored.  A call that never leaves
// the vector path does not touch errno.
#ifndef VARNEL_SRC_MATH_BATCH_DRIVER_HPP
#define VARNEL_SRC_MATH_BATCH_DRIVER_HPP

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include <varnel/math/config.h>

#include "functions.hpp"
#include "kernels/kernel.hpp"

namespace varnel::math::batch {

// What one call reports: errors[i] per element (when asked for), the count
// and the last code, and errno as the scalar loop would leave it.
class error_log {
 public:
  explicit error_log(int* errors) noexcept : errors_(errors) {}

  // Elements [i, i + k) reported nothing.
  void clear(std::size_t i, std::size_t k) noexcept {
    if (errors_ != nullptr) std::memset(errors_ + i, 0, k * sizeof(int));
  }

  // Element i through the scalar function F.
  template <class F, class... A> auto scalar(std::size_t i, A... a) noexcept {
    if (!saved_valid_) {
      saved_ = errno;
      saved_valid_ = true;
    }
    errno = 0;
    const auto r = F::call(a...);
    const int code = errno;
    if (errors_ != nullptr) errors_[i] = code;
    if (code != 0) {
      ++count_;
      last_ = code;
    }
    return r;
  }

  std::size_t finish() noexcept {
    if (saved_valid_) errno = count_ != 0 ? last_ : saved_;
    return count_;
  }

 private:
  int* errors_;
  std::size_t count_ = 0;
  int last_ = 0;
  int saved_ = 0;
  bool saved_valid_ = false;
};

// Lowest set bit of a lane mask, and the mask without it.
inline int next_lane(unsigned& rare) noexcept {
  const int k = __builtin_ctz(rare);
  rare &= rare - 1;
  return k;
}

// The blocks of w lanes from the start of the array: block(i) runs the
// elements [i, i + w) through the kernel, stores their results and returns
// the rare lanes (keeping what the scalar redo needs); redo(i, rare) gives
// those lanes to the scalar function.  Returns where the tail begins.  The
// blocks without rare lanes run in a loop of their own, without a call,
// so that the kernel's constants stay in registers from block to block (a
// call clobbers every vector register).
template <std::size_t w, class Block, class Redo>
inline std::size_t run_blocks(std::size_t n, Block block, Redo redo) noexcept {
  std::size_t i = 0;
  while (i + w <= n) {
    unsigned rare = 0;
    for (; i + w <= n; i += w) {
      rare = block(i);
      if (rare != 0) break;
    }
    if (rare == 0) break;
    redo(i, rare);
    i += w;
  }
  return i;
}

// The packs a kernel of one argument steps through: its level's own, or
// those it names as K::pack (twice<Isa>, two registers per step).
template <class K, class Isa, class = void> struct pack_of { using type = Isa; };
template <class K, class Isa> struct pack_of<K, Isa, std::void_t<typename K::pack>> { using type = typename K::pack; };

// T f(T)
template <class F, class T, class Isa> std::size_t run_unary(std::size_t n, const T* x, T* r, int* errors) noexcept {
  error_log log(errors);
  std::size_t i = 0;
  if constexpr (has_kernel<F, T, Isa>) {
    using K = kernel<F, T, Isa>;
    using P = typename pack_of<K, Isa>::type;
    constexpr std::size_t w = P::lanes;
    T in[w];  // the arguments, for the scalar redo: r may be x
    auto block = [&](std::size_t j) {
      const auto v = P::load(x + j);
      unsigned rare = 0;
      const auto res = K::eval(v, rare);
      if (rare != 0) P::store(in, v);
      P::store(r + j, res);
      log.clear(j, w);
      return rare;
    };
    auto redo = [&](std::size_t j, unsigned rare) {
      while (rare != 0) {
        const int k = next_lane(rare);
        r[j + k] = log.template scalar<F>(j + k, in[k]);
      }
    };
    i = run_blocks<w>(n, block, redo);
  }
  for (; i < n; ++i) r[i] = log.template scalar<F>(i, x[i]);
  return log.finish();
}

// T f(T, T)
template <class F, class T, class Isa>
std::size_t run_binary(std::size_t n, const T* x, const T* y, T* r, int* errors) noexcept {
  error_log log(errors);
  std::size_t i = 0;
  if constexpr (has_kernel<F, T, Isa>) {
    using K = kernel<F, T, Isa>;
    constexpr std::size_t w = Isa::lanes;
    T in_x[w], in_y[w];
    auto block = [&](std::size_t j) {
      const auto a = Isa::load(x + j);
      const auto b = Isa::load(y + j);
      unsigned rare = 0;
      const auto res = K::eval(a, b, rare);
      if (rare != 0) {
        Isa::store(in_x, a);
        Isa::store(in_y, b);
      }
      Isa::store(r + j, res);
      log.clear(j, w);
      return rare;
    };
    auto redo = [&](std::size_t j, unsigned rare) {
      while (rare != 0) {
        const int k = next_lane(rare);
        r[j + k] = log.template scalar<F>(j + k, in_x[k], in_y[k]);
      }
    };
    i = run_blocks<w>(n, block, redo);
  }
  for (; i < n; ++i) r[i] = log.template scalar<F>(i, x[i], y[i]);
  return log.finish();
}

// T f(T, long double).  The kernel takes the direction from the exact long
// double y (no vector unit holds every long double: it compares the lanes
// one by one, or their patterns) and steps in vector form.
template <class F, class T, class Isa>
std::size_t run_toward(std::size_t n, const T* x, const VARNEL_MATH_LONG_DOUBLE* y, T* r, int* errors) noexcept {
  error_log log(errors);
  std::size_t i = 0;
  if constexpr (has_kernel<F, T, Isa>) {
    using K = kernel<F, T, Isa>;
    constexpr std::size_t w = Isa::lanes;
    T in_x[w];  // r may be x; y, of another type, is read where it is
    auto block = [&](std::size_t j) {
      const auto a = Isa::load(x + j);
      Isa::store(in_x, a);
      unsigned rare = 0;
      const auto res = K::eval(a, in_x, y + j, rare);
      Isa::store(r + j, res);
      log.clear(j, w);
      return rare;
    };
    auto redo = [&](std::size_t j, unsigned rare) {
      while (rare != 0) {
        const int k = next_lane(rare);
        r[j + k] = log.template scalar<F>(j + k, in_x[k], static_cast<long double>(y[j + k]));
      }
    };
    i = run_blocks<w>(n, block, redo);
  }
  for (; i < n; ++i) r[i] = log.template scalar<F>(i, x[i], static_cast<long double>(y[i]));
  return log.finish();
}

// R f(T), R long or long long.  The kernel gives 64-bit integers; where
// long is narrower their low halves are stored (every lane the vector path
// keeps is in range: the kernel sends the others back).
template <class F, class T, class R, class Isa>
std::size_t run_to_integer(std::size_t n, const T* x, R* r, int* errors) noexcept {
  error_log log(errors);
  std::size_t i = 0;
  if constexpr (has_kernel<F, T, Isa>) {
    using K = kernel<F, T, Isa>;
    constexpr std::size_t w = Isa::lanes;
    T in[w];
    auto block = [&](std::size_t j) {
      const auto v = Isa::load(x + j);
      unsigned rare = 0;
      const auto res = K::eval(v, rare);
      if (rare != 0) Isa::store(in, v);
      // Stored as they are, or (a 32-bit long) their low halves: every lane
      // kept is in range.  The packs' stores may write any type.
      if constexpr (sizeof(R) == sizeof(std::int64_t)) {
        Isa::store(reinterpret_cast<std::int64_t*>(r + j), res);
      } else {
        static_assert(sizeof(R) == sizeof(std::int32_t), "long has 32 or 64 bits");
        Isa::store_low_halves(reinterpret_cast<std::int32_t*>(r + j), res);
      }
      log.clear(j, w);
      return rare;
    };
    auto redo = [&](std::size_t j, unsigned rare) {
      while (rare != 0) {
        const int k = next_lane(rare);
        r[j + k] = log.template scalar<F>(j + k, in[k]);
      }
    };
    i = run_blocks<w>(n, block, redo);
  }
  for (; i < n; ++i) r[i] = log.template scalar<F>(i, x[i]);
  return log.finish();
}

// The entry points of one function at one level, by shape.
template <class F, class Isa> struct entries_unary {
  static std::size_t d(std::size_t n, const double* x, double* r, int* e) {
    return run_unary<F, double, Isa>(n, x, r, e);
  }
  static std::size_t f(std::size_t n, const float* x, float* r, int* e) { return run_unary<F, float, Isa>(n, x, r, e); }
};
template <class F, class Isa> struct entries_binary {
  static std::size_t d(std::size_t n, const double* x, const double* y, double* r, int* e) {
    return run_binary<F, double, Isa>(n, x, y, r, e);
  }
  static std::size_t f(std::size_t n, const float* x, const float* y, float* r, int* e) {
    return run_binary<F, float, Isa>(n, x, y, r, e);
  }
};
template <class F, class Isa> struct entries_toward {
  static std::size_t d(std::size_t n, const double* x, const VARNEL_MATH_LONG_DOUBLE* y, double* r, int* e) {
    return run_toward<F, double, Isa>(n, x, y, r, e);
  }
  static std::size_t f(std::size_t n, const float* x, const VARNEL_MATH_LONG_DOUBLE* y, float* r, int* e) {
    return run_toward<F, float, Isa>(n, x, y, r, e);
  }
};
template <class F, class Isa> struct entries_to_long {
  static std::size_t d(std::size_t n, const double* x, long* r, int* e) {
    return run_to_integer<F, double, long, Isa>(n, x, r, e);
  }
  static std::size_t f(std::size_t n, const float* x, long* r, int* e) {
    return run_to_integer<F, float, long, Isa>(n, x, r, e);
  }
};
template <class F, class Isa> struct entries_to_llong {
  static std::size_t d(std::size_t n, const double* x, long long* r, int* e) {
    return run_to_integer<F, double, long long, Isa>(n, x, r, e);
  }
  static std::size_t f(std::size_t n, const float* x, long long* r, int* e) {
    return run_to_integer<F, float, long long, Isa>(n, x, r, e);
  }
};

}  // namespace varnel::math::batch

#endif
