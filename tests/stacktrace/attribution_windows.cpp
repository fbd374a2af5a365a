// Attribution of code addresses on Windows: the unwind data of the module
// that holds an address (every function with a frame has an entry there)
// gives the function's start, and the module's export table its name.
#include "stacktrace/probes.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <windows.h>

namespace varnel_test::stack {
namespace {

// A DLL's function named in a program is the program's import stub, a jump
// through the import address table (jmp [rip + disp32]): the function
// itself is where the slot points.
const void* past_import_stub(const void* p) {
  const auto* code = static_cast<const unsigned char*>(p);
  if (code[0] != 0xFF || code[1] != 0x25) return p;
  std::int32_t displacement;
  std::memcpy(&displacement, code + 2, sizeof displacement);
  const void* target;
  std::memcpy(&target, code + 6 + displacement, sizeof target);
  return target;
}

}  // namespace

const void* function_containing(const void* address) {
  DWORD64 base = 0;
  const PRUNTIME_FUNCTION entry = RtlLookupFunctionEntry(reinterpret_cast<DWORD64>(address), &base, nullptr);
  if (entry == nullptr) return nullptr;
  return reinterpret_cast<const void*>(base + entry->BeginAddress);
}

const void* function_start(const void* function) { return function_containing(past_import_stub(function)); }

std::string function_name(const void* address) {
  const void* start = function_containing(address);
  HMODULE module = nullptr;
  if (start == nullptr ||
      !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(start), &module))
    return {};
  const auto* image = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dir.Size == 0) return {};
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image + dir.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(image + exports->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(image + exports->AddressOfNameOrdinals);
  const auto* functions = reinterpret_cast<const DWORD*>(image + exports->AddressOfFunctions);
  const auto rva = static_cast<DWORD>(static_cast<const unsigned char*>(start) - image);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const char* name = reinterpret_cast<const char*>(image + names[i]);
    // The Itanium name; the MSVC alias at the same address is skipped.
    if (functions[ordinals[i]] != rva || std::strncmp(name, "_Z", 2) != 0) continue;
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 ? readable : name;
    std::free(readable);
    return result;
  }
  return {};
}

}  // namespace varnel_test::stack
