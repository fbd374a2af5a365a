// A kernel: one family over the lanes of one instruction-set level.
//
//   template <class Isa> struct kernel<fn::erf, double, Isa> {
//     static constexpr bool vectorised = true;
//     static typename Isa::vd eval(typename Isa::vd x, unsigned& rare);
//   };
//
// eval computes every lane by the very operations, in the very order, of
// the scalar family, and sets bit k of rare for each lane k it does not
// cover: arguments on rare paths (NaN, infinities, subnormals, poles, a
// reflection, ...), and every lane that would report an error.  The driver
// (driver.hpp) gives those lanes to the scalar function; whatever eval put
// in them is discarded.  Shapes: eval(x, rare) for one argument (the result
// a vi of 64-bit integers for lround and llround), eval(x, y, rare) for
// two, eval(x, xs, ys, rare) for nexttoward (xs, ys: the lanes' arguments,
// ys the exact long doubles).  A kernel of one argument may step through
// wider packs than the level's, naming them `using pack = twice<Isa>;` (or
// interleaved<Isa>, simd/twice.hpp) and taking and returning those.  A
// function without a specialisation runs through the scalar function at
// every level.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_KERNEL_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_KERNEL_HPP

namespace varnel::math::batch {

template <class F, class T, class Isa> struct kernel { static constexpr bool vectorised = false; };

template <class F, class T, class Isa> inline constexpr bool has_kernel = kernel<F, T, Isa>::vectorised;

// The level without a vector unit: every element through the scalar
// function.  Also the only level on processors other than x86-64.
struct scalar_isa {
  static constexpr int lanes = 1;
  static constexpr const char* name = "scalar";
};

}  // namespace varnel::math::batch

#endif
