// The golden digest: results and errno of every export over a fixed set of
// inputs per function (special values, thresholds and their neighbours,
// random bit patterns and random values in the working ranges), folded into
// one 64-bit FNV-1a hash per export.  Any change of a result bit or of an
// errno anywhere changes the export's hash.
#ifndef VARNEL_TESTS_GOLDEN_DIGEST_HPP
#define VARNEL_TESTS_GOLDEN_DIGEST_HPP

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace varnel_test {

struct export_digest {
  std::string name;
  std::uint64_t hash;
  std::size_t inputs;
};

// inputs_per_function random inputs per export (the special values come on
// top); the checked-in digests use the default.
constexpr std::size_t golden_inputs = 100000;
std::vector<export_digest> compute_digests(std::size_t inputs_per_function = golden_inputs);

// The facts of this platform and build that decide where the digests may
// differ from another platform's, as name and value: the platform
// (operating system and processor), the build (platform or portable
// elementary functions), the width of long, the format of long double and
// fpclassify's class values.  golden_digest prints them at the top of its
// output, tests/golden/digests.py writes them into each digest file, and
// golden_test requires its file to name these.
std::vector<std::pair<std::string, std::string>> platform_facts();

// The facts as one comment line: "# facts: platform=linux-x86_64 build=...".
std::string facts_line();

}  // namespace varnel_test

#endif
