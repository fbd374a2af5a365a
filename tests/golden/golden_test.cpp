// Every export's results and errno over the golden inputs hash to the
// checked-in digests: no optimisation may change one bit or one errno.
// After a deliberate change of behaviour, regenerate the file with
//   build/<preset>/tests/golden_digest > tests/golden/digests.txt
// (on Windows digests-windows.txt, keeping each line's reason column).
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
    // export, digest, inputs, and (on other platforms than Linux) why the
    // line may differ from Linux's, which is no part of the record.
    std::istringstream fields(line);
    std::string name, hash, inputs;
    std::getline(fields, name, '\t');
    std::getline(fields, hash, '\t');
    std::getline(fields, inputs, '\t');
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
