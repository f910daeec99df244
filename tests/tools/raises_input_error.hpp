// EXPECT_THAT(call, RaisesInputError("p.json: ...")): every error of the
// command line's input is the invalid-argument error, its description
// naming the file or entry and what is wrong with it.
#pragma once

#include <string>

#include "raises_automation_error.hpp"

namespace krelvo::cli {

inline auto RaisesInputError(const std::string& message) {
  return test_support::RaisesAutomationError(automation::kErrInvalidProcedureCall, message);
}

}  // namespace krelvo::cli
