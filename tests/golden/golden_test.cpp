// Every export's results and errno over the golden inputs hash to the
// checked-in digests of this platform and build: no optimisation may
// change one bit or one errno.  After a deliberate change of behaviour,
// regenerate the file with the command at its top (golden_digest's output
// through tests/golden/digests.py write).
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
  std::string facts;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("# facts:", 0) == 0) facts = line;
    if (line.empty() || line[0] == '#') continue;
    // export, digest, inputs, and a fourth column: why the line may differ
    // from another platform's, which is no part of the record.
    std::istringstream fields(line);
    std::string name, hash, inputs;
    std::getline(fields, name, '\t');
    std::getline(fields, hash, '\t');
    std::getline(fields, inputs, '\t');
    recorded[name] = hash + '\t' + inputs;
  }
  // The file is this platform's and this build's.
  EXPECT_EQ(facts, varnel_test::facts_line()) << VARNEL_GOLDEN_FILE;
  const auto digests = varnel_test::compute_digests();
  EXPECT_EQ(digests.size(), recorded.size());
  for (const auto& d : digests) {
    std::ostringstream now;
    now << std::hex << d.hash << std::dec << '\t' << d.inputs;
    EXPECT_EQ(recorded[d.name], now.str()) << d.name << " changed";
  }
}

}  // namespace
