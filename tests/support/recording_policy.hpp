// A policy for tests: behaves exactly like errno_policy (same errno, same
// values) and also records what every error site passes to its action, so
// tests can check the function-name strings and messages.
#ifndef VARNEL_TESTS_SUPPORT_RECORDING_POLICY_HPP
#define VARNEL_TESTS_SUPPORT_RECORDING_POLICY_HPP

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/policies/error_handling.hpp>

namespace varnel_test {

struct error_report {
  varnel::math::policies::error_kind kind;
  std::string function;
  std::string message;  // empty when the site passed none and there is no default
};

struct recording_policy {
  std::vector<error_report>* log;
};

inline void observe_error(const recording_policy& p, varnel::math::policies::error_kind kind, const char* function,
                          const char* message) {
  p.log->push_back({kind, function != nullptr ? function : "", message != nullptr ? message : ""});
}

// Runs call(recording_policy) and expects one report per entry of
// functions, in that order, each of the given kind and message.
template <class F> void expect_reports(F call, varnel::math::policies::error_kind kind, const char* message,
                                       std::initializer_list<const char*> functions) {
  std::vector<error_report> log;
  call(recording_policy{&log});
  ASSERT_EQ(log.size(), functions.size());
  std::size_t i = 0;
  for (const char* f : functions) {
    SCOPED_TRACE(f);
    EXPECT_EQ(log[i].kind, kind);
    EXPECT_EQ(log[i].function, f);
    EXPECT_EQ(log[i].message, message);
    ++i;
  }
}

}  // namespace varnel_test

#endif
