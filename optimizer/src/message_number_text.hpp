// Numbers in error descriptions, written the way a host would type them.
#pragma once

#include <cstdio>
#include <string>

namespace krelvo {

inline std::string message_number_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace krelvo
