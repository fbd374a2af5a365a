// Every export's results and errno over the golden inputs hash to the
// checked-in digests: no optimisation may change one bit or one errno.
// After a deliberate change of behaviour, regenerate the file with
//   build/<preset>/tests/golden_digest > tests/golden/digests.txt
// (on Windows digests-windows.txt, keeping each line's reason column; for
// the portable build digests-portable.txt, from both platforms' outputs
// through tests/golden/merge_portable.py).
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "golden/digest.hpp"

namespace {

TEST(Golden, EveryExportMatchesItsRecordedDigest) {
  std::ifstream in(VARNEL_GOLDEN_FILE);
  ASSERT_TRUE(in) << "cannot read " << VARNEL_GOLDEN_FILE;
  std::map<std::string, std::string> recorded;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    // export, digest, inputs, and a fourth column: the platform a line of
    // the portable digests holds on (linux, windows), or why a line of the
    // Windows digests may differ from Linux's, which is no part of the
    // record.
    std::istringstream fields(line);
    std::string name, hash, inputs, fourth;
    std::getline(fields, name, '\t');
    std::getline(fields, hash, '\t');
    std::getline(fields, inputs, '\t');
    std::getline(fields, fourth, '\t');
    if ((fourth == "linux" || fourth == "windows") && fourth != VARNEL_GOLDEN_PLATFORM) continue;
    recorded[name] = hash + '\t' + inputs;
  }
  const auto digests = varnel_test::compute_digests();
  EXPECT_EQ(digests.size(), recorded.size());
  for (const auto& d : digests) {
    std::ostringstream now;
    now << std::hex << d.hash << std::dec << '\t' << d.inputs;
    EXPECT_EQ(recorded[d.name], now.str()) << d.name << " changed";
  }
}

}  // namespace
