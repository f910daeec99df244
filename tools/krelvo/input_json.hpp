// The native problem file: {"stock": [...], "items": [...]}, each entry
// {"length": L, "quantity": Q, "label": "..."} with the label optional.
#pragma once

#include <string>
#include <string_view>

#include "problem.hpp"

namespace krelvo::cli {

// Reads the problem from JSON text; `source` names it in messages.
Problem parse_problem_json(std::string_view text, const std::string& source);

Problem read_problem_json(const std::string& path);

}  // namespace krelvo::cli
