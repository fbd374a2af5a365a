// The test scale: VARNEL_TEST_SCALE=K divides the sample counts of the long
// cases (the random inputs of the consistency test, the batch library's
// identity test and the elementary accuracy driver) by K, for runs under
// an emulator, which are many times slower.  Nothing is skipped: every
// case runs, on fewer random inputs.  Inputs that define a digest (the
// golden digests, the elementary digest) are never scaled.  Unset, the
// scale is 1; anything but a positive integer stops the test program.
#ifndef VARNEL_TESTS_SUPPORT_SCALE_HPP
#define VARNEL_TESTS_SUPPORT_SCALE_HPP

#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace varnel_test {

inline std::size_t test_scale() {
  const char* s = std::getenv("VARNEL_TEST_SCALE");
  if (s == nullptr) return 1;
  char* end = nullptr;
  const unsigned long k = std::strtoul(s, &end, 10);
  if (*s == '\0' || *end != '\0' || k == 0) {
    std::fprintf(stderr, "VARNEL_TEST_SCALE=%s: not a positive integer\n", s);
    std::exit(2);
  }
  return k;
}

// n random samples at the test scale: n / K, at least one.
inline std::size_t scaled(std::size_t n) {
  const std::size_t k = n / test_scale();
  return k > 0 ? k : 1;
}

}  // namespace varnel_test

#endif
