// Attribution of code addresses on ELF platforms: the dynamic symbol table,
// through dladdr (the test executables export their own symbols).
#include "stacktrace/probes.hpp"

#include <cstdlib>
#include <cxxabi.h>
#include <dlfcn.h>

namespace varnel_test::stack {

const void* function_containing(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_sname == nullptr) return nullptr;
  return info.dli_saddr;
}

const void* function_start(const void* function) { return function_containing(function); }

std::string function_name(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_sname == nullptr) return {};
  int status = 0;
  char* readable = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
  std::string name = status == 0 ? readable : info.dli_sname;
  std::free(readable);
  return name;
}

}  // namespace varnel_test::stack
