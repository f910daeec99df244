// Starts a helper program (a dialog, a desktop setting tool) the way the
// platform stand-ins need it: found on PATH, started with an argument vector
// and never through a shell, so no argument is ever parsed as shell syntax.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace automation {

struct ChildOutcome {
  int exit_code = 0;
  std::string output;  // everything it wrote to standard output
};

// Waits for the program to end. Its standard input and error are the null
// device. nullopt when it cannot be started (not installed) or is killed.
std::optional<ChildOutcome> run_program(const std::vector<std::string>& arguments);

}  // namespace automation
