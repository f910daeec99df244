// EXPECT_THAT(call, RaisesAutomationError(9, HasSubstr("stock kind 2"))):
// the call (anything invocable without arguments) raises the automation
// error with this number, and its description and source match. A failure
// says what the call raised instead: another error, another exception or
// nothing.
#pragma once

#include <gmock/gmock.h>

#include <cstdint>
#include <exception>
#include <ostream>
#include <string>
#include <utility>

#include "automation/error.hpp"

namespace test_support {

class RaisesAutomationErrorMatcher {
 public:
  RaisesAutomationErrorMatcher(int32_t number, ::testing::Matcher<const std::string&> description,
                               ::testing::Matcher<const std::string&> source)
      : number_(number), description_(std::move(description)), source_(std::move(source)) {}

  template <class Call>
  bool MatchAndExplain(const Call& call, ::testing::MatchResultListener* listener) const {
    try {
      call();
    } catch (const automation::AutomationError& error) {
      *listener << "raised error " << error.number() << " \"" << error.description() << "\" from \"" << error.source()
                << "\"";
      return error.number() == number_ && description_.Matches(error.description()) && source_.Matches(error.source());
    } catch (const std::exception& other) {
      *listener << "threw another exception: " << other.what();
      return false;
    }
    *listener << "raised nothing";
    return false;
  }

  void DescribeTo(std::ostream* out) const {
    *out << "raises automation error " << number_ << " whose description ";
    description_.DescribeTo(out);
    *out << " and whose source ";
    source_.DescribeTo(out);
  }

  void DescribeNegationTo(std::ostream* out) const {
    *out << "does not ";
    DescribeTo(out);
  }

 private:
  int32_t number_;
  ::testing::Matcher<const std::string&> description_;
  ::testing::Matcher<const std::string&> source_;
};

inline auto RaisesAutomationError(int32_t number, ::testing::Matcher<const std::string&> description = ::testing::_,
                                  ::testing::Matcher<const std::string&> source = ::testing::_) {
  return ::testing::MakePolymorphicMatcher(
      RaisesAutomationErrorMatcher(number, std::move(description), std::move(source)));
}

}  // namespace test_support
