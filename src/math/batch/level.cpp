// The entry points of one instruction-set level, compiled once per level
// with VARNEL_BATCH_LEVEL naming it (scalar, sse2, avx2, avx512f) and the
// compiler flags that enable its instructions (src/math/batch/
// CMakeLists.txt).  Nothing else in the library is compiled with those
// flags, so no other code can use instructions the processor may lack.
#include "batch.hpp"
#include "driver.hpp"

#if !defined(VARNEL_BATCH_LEVEL)
#error "VARNEL_BATCH_LEVEL names the level this unit is compiled for"
#endif

#define VARNEL_BATCH_CAT2(a, b) a##b
#define VARNEL_BATCH_CAT(a, b) VARNEL_BATCH_CAT2(a, b)

// The pack types of the level and the kernels over them.
#define VARNEL_BATCH_scalar 0
#define VARNEL_BATCH_sse2 1
#define VARNEL_BATCH_avx2 2
#define VARNEL_BATCH_avx512f 3
#if VARNEL_BATCH_CAT(VARNEL_BATCH_, VARNEL_BATCH_LEVEL) == 0
namespace varnel::math::batch {
using isa = scalar_isa;
}
#else
#if VARNEL_BATCH_CAT(VARNEL_BATCH_, VARNEL_BATCH_LEVEL) == 1
#include "simd/sse2.hpp"
#elif VARNEL_BATCH_CAT(VARNEL_BATCH_, VARNEL_BATCH_LEVEL) == 2
#include "simd/avx2.hpp"
#else
#include "simd/avx512f.hpp"
#endif
#include "kernels/kernels.hpp"
namespace varnel::math::batch {
using isa = VARNEL_BATCH_LEVEL;
}
#endif

namespace varnel::math::batch {

#define VARNEL_BATCH_ENTRY(name, shape, road) &entries_##shape<fn::name, isa>::d, &entries_##shape<fn::name, isa>::f,
extern const level_table VARNEL_BATCH_CAT(level_, VARNEL_BATCH_LEVEL) = {
    isa::name, VARNEL_CATALOGUE_FUNCTIONS(VARNEL_BATCH_ENTRY)};
#undef VARNEL_BATCH_ENTRY

}  // namespace varnel::math::batch
