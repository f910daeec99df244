// CPU time of the whole process, for checks that must not depend on how busy
// the machine is.
#pragma once

#include <time.h>

namespace test_support {

inline double cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace test_support
