// The C++ side: the classification templates, linked from each library.
#include <cmath>
#include <cstdio>

#include <varnel/math/c99.h>
#include <varnel/math/tr1.hpp>

int main() {
  namespace tr1 = varnel::math::tr1;
  std::printf("fpclassify(5e-324)  = %d (tr1::fp_subnormal is %d)\n", tr1::fpclassify(5e-324), tr1::fp_subnormal);
  std::printf("isinf(1e4000L)      = %d\n", static_cast<int>(tr1::isinf(1e4000L)));
  std::printf("signbit(-0.0f)      = %d\n", static_cast<int>(tr1::signbit(-0.0f)));
  std::printf("copysign(3, -0.0)   = %g\n", varnel_copysign(3.0, -0.0));
  return 0;
}
