// Prints the golden digests of this platform and build: the facts line,
// then one line per export (name, digest, inputs), which
// tests/golden/digests.py writes into the platform's digest file.
#include <cstdio>

#include "golden/digest.hpp"

int main() {
  std::printf("%s\n", varnel_test::facts_line().c_str());
  std::printf("# export\tFNV-1a 64 of results and errno\tinputs\n");
  for (const auto& d : varnel_test::compute_digests())
    std::printf("%s\t%llx\t%zu\n", d.name.c_str(), static_cast<unsigned long long>(d.hash), d.inputs);
  return 0;
}
