// The checks of the fuzz targets: a broken property prints what broke and
// aborts, which libFuzzer reports as a crash together with the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

[[noreturn]] inline void fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

inline void require(bool condition, const char* what) {
  if (!condition) fail(what);
}

}  // namespace fuzz
