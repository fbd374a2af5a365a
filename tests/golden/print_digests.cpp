// Prints the golden digests in the format of tests/golden/digests.txt.
#include <cstdio>

#include "golden/digest.hpp"

int main() {
  std::printf("# export\tFNV-1a 64 of results and errno\tinputs\n");
  for (const auto& d : varnel_test::compute_digests())
    std::printf("%s\t%llx\t%zu\n", d.name.c_str(), static_cast<unsigned long long>(d.hash), d.inputs);
  return 0;
}
