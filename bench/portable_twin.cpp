// Compiled with the twin's renaming macros forced in (portable_twin_names.h):
// every varnel_* export the function table names is varnel_portable_*, the
// portable build's.  The table is instantiated in a namespace of its own, so
// that it is not the program's varnel_common::functions under another
// definition.
#define varnel_common varnel_bench_portable_table
#include "function_table.hpp"
#undef varnel_common

#include "portable_twin.hpp"

namespace varnel_bench {
namespace {

template <class T, class Pair> twin_loops<T> loops_of(const Pair& pair) {
  return {pair.varnel.throughput, pair.varnel.latency};
}

}  // namespace

twin_loops<float> portable_twin_float(int index) {
  return loops_of<float>(varnel_bench_portable_table::functions[index].f);
}
twin_loops<double> portable_twin_double(int index) {
  return loops_of<double>(varnel_bench_portable_table::functions[index].d);
}
twin_loops<long double> portable_twin_long_double(int index) {
  return loops_of<long double>(varnel_bench_portable_table::functions[index].l);
}

}  // namespace varnel_bench
