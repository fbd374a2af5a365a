// The catalogue of the functions (src/catalogue.toml) as varnel-math, the
// benchmarks and the tests read it: the X-macro lists of the functions by
// shape and the tables of their summaries, speed domains and accuracy
// bounds, written by cmake/catalogue.py when CMake configures.
#ifndef VARNEL_COMMON_CATALOGUE_HPP
#define VARNEL_COMMON_CATALOGUE_HPP

#include <cstring>

#include "catalogue.generated.h"

namespace varnel_catalogue {

// The catalogue's entry of a function, or nullptr.
inline const function_info* find(const char* name) {
  for (const function_info& f : functions)
    if (std::strcmp(f.name, name) == 0) return &f;
  return nullptr;
}

}  // namespace varnel_catalogue

#endif
