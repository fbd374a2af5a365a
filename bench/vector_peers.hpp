// The vector peers of the batch benchmark: SLEEF's AVX2 functions and the C
// library's vector functions (libmvec, AVX2 entry points), each wrapped as
// a loop over an array (vector_peers.cpp, the one unit compiled for AVX2).
// nullptr where the peer lacks the function, where it was not found when
// the benchmark was configured, or where the processor lacks AVX2.
#ifndef VARNEL_BENCH_VECTOR_PEERS_HPP
#define VARNEL_BENCH_VECTOR_PEERS_HPP

#include <cstddef>
#include <string>

namespace varnel_bench {

// out[i] = f(x[i]) or f(x[i], y[i]) for i < n (n a multiple of 8).
template <class T> using array_fn = void (*)(const T* x, const T* y, T* out, std::size_t n);

template <class T> array_fn<T> sleef_avx2(const std::string& name);
template <class T> array_fn<T> libmvec_avx2(const std::string& name);

}  // namespace varnel_bench

#endif
