// The C++ exports as a program built by MSVC calls them: under their MSVC
// decorated names, which this unit's compiler (clang for the MSVC ABI)
// gives the declarations below.  No header: the program has no standard
// library.
namespace std {
using size_t = decltype(sizeof 0);
}

namespace varnel::math::tr1 {
template <class T> int fpclassify(T x);
template <class T> bool isnan(T x);
template <class T> bool signbit(T x);
}  // namespace varnel::math::tr1

namespace varnel::stacktrace::detail {
class this_thread_frames {
 public:
  static std::size_t collect(const void** out_frames, std::size_t max_frames_count, std::size_t skip) noexcept;
};
std::size_t dump(const char* file, const void* const* frames, std::size_t frames_count) noexcept;
}  // namespace varnel::stacktrace::detail

extern "C" int check_cxx_exports(void) {
  namespace tr1 = varnel::math::tr1;
  namespace st = varnel::stacktrace::detail;
  int failures = 0;
  // The classes are the Windows runtime's: FP_SUBNORMAL -2, FP_NORMAL -1.
  failures += tr1::fpclassify<double>(5e-324) != -2;
  failures += tr1::fpclassify<long double>(1.0L) != -1;
  failures += !tr1::isnan<float>(__builtin_nanf(""));
  failures += !tr1::signbit<long double>(-0.0L);
  const void* frames[4] = {};
  failures += st::this_thread_frames::collect(frames, 4, 0) == 0 || frames[0] == nullptr;
  failures += st::dump("unused", frames, 4) != 0;
  return failures;
}
