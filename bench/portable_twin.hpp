// The C exports of the portable build (VARNEL_MATH_ELEMENTARY=portable),
// linked into the benchmark beside those of the platform build under the
// names varnel_portable_* (bench/CMakeLists.txt), bound the way the function
// table binds ours: a throughput loop and a latency chain per member.
#ifndef VARNEL_BENCH_PORTABLE_TWIN_HPP
#define VARNEL_BENCH_PORTABLE_TWIN_HPP

#include <cstddef>

namespace varnel_bench {

template <class T> struct twin_loops {
  void (*throughput)(const T* x, const T* y, T* out, std::size_t n);
  T (*latency)(const T* x, const T* y, std::size_t n);
};

// The portable build's member of varnel_common::functions[index].
twin_loops<float> portable_twin_float(int index);
twin_loops<double> portable_twin_double(int index);
twin_loops<long double> portable_twin_long_double(int index);

}  // namespace varnel_bench

#endif
