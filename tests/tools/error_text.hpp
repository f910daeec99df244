// The description of the automation error an action raises, for tests that
// compare whole messages.
#pragma once

#include <functional>
#include <string>

#include "automation/error.hpp"

namespace krelvo::cli {

inline std::string error_text(const std::function<void()>& action) {
  try {
    action();
  } catch (const automation::AutomationError& error) {
    return error.description();
  }
  return "(no error)";
}

}  // namespace krelvo::cli
