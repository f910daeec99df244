// Bundled benchmark problems: one line per kind, "item <length> <quantity>"
// or "stock <length> <quantity>", '#' starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "krelvo.hpp"

namespace krelvo::bench {

struct ProblemFile {
  std::string name;
  std::vector<double> item_lengths;
  std::vector<int32_t> item_quantities;
  std::vector<double> stock_lengths;
  std::vector<int32_t> stock_quantities;
};

// Throws std::runtime_error naming the file and line of a bad entry.
ProblemFile read_problem_file(const std::string& path);

// `kinds` item kinds, shortest first as the command-line host passes them:
// whole-unit lengths spread over 50..2549 by a fixed sequence, 1..4 pieces
// each, on unlimited bars of 6000. Named "kinds<count>".
ProblemFile many_kinds(int32_t kinds);

// Sets nitem, nsource and the four arrays (element 0 added, no kind).
void describe_problem(clsOptimizacija& optimizer, const ProblemFile& problem);

}  // namespace krelvo::bench
