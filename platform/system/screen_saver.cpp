#include <cstdlib>

#include "automation/child_process.hpp"
#include "automation/system_services.hpp"

namespace automation {

BOOL SystemParametersInfoA(UINT action, UINT parameter, void* /*data*/, UINT /*flags*/) {
  if (action != SPI_SETSCREENSAVEACTIVE) return 0;
  // xset talks to an X server only; without a display there is nothing to switch.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || display[0] == '\0') return 0;
  const auto outcome = run_program({"xset", "s", parameter != 0 ? "on" : "off"});
  return outcome && outcome->exit_code == 0 ? 1 : 0;
}

}  // namespace automation
