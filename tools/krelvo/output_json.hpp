// The plan as JSON, for programs: bars in the optimizer's order, items
// numbered as in the user's input (1-based), lengths in the user's unit.
#pragma once

#include <string>

#include "report.hpp"

namespace krelvo::cli {

std::string render_json(const Report& report);

}  // namespace krelvo::cli
