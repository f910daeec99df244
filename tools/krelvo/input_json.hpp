// The native problem file: {"stock": [...], "items": [...]}, each entry
// {"length": L, "quantity": Q, "label": "..."} with the label optional.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "problem.hpp"

namespace krelvo::cli {

// Reads the problem from JSON text; `source` names it in messages.
Problem parse_problem_json(std::string_view text, const std::string& source);

Problem read_problem_json(const std::string& path);

// A file holding one list of kinds, {"<key>": [...]}; entries are named
// "offcut N" for "offcuts" in messages.
std::vector<Kind> parse_kind_list_json(std::string_view text, const std::string& source, const char* key);

}  // namespace krelvo::cli
