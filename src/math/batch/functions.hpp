// The functions of the batch library, one tag per function of the
// catalogue, and the scalar call that every element's result is defined
// by: the family entry of the portable build, with the errno policy, as
// the exports of the math libraries call it.
#ifndef VARNEL_SRC_MATH_BATCH_FUNCTIONS_HPP
#define VARNEL_SRC_MATH_BATCH_FUNCTIONS_HPP

#include <type_traits>

#include "catalogue.generated.h"
#include "../families.hpp"

namespace varnel::math::batch::fn {

namespace vm = varnel::math;

// call(a...): vm::<name>(a..., errno_policy()) where the family takes a
// policy (most do), vm::<name>(a...) where it has none (copysign, fmax,
// fmin, expm1).
#define VARNEL_BATCH_FUNCTION(name, shape, road)                                               \
  struct name {                                                                                \
    static constexpr const char* label = #name;                                                \
    template <class... A> static auto call(A... a) noexcept {                                  \
      auto with_policy = [](auto... b) -> decltype(vm::name(b..., policies::errno_policy())) { \
        return vm::name(b..., policies::errno_policy());                                       \
      };                                                                                       \
      if constexpr (std::is_invocable_v<decltype(with_policy), A...>)                          \
        return with_policy(a...);                                                              \
      else                                                                                     \
        return vm::name(a...);                                                                 \
    }                                                                                          \
  };
VARNEL_CATALOGUE_FUNCTIONS(VARNEL_BATCH_FUNCTION)
#undef VARNEL_BATCH_FUNCTION

}  // namespace varnel::math::batch::fn

#endif
