// Text on its way to and from the platform's ANSI functions: by-reference
// arguments with their write-back, rooms and the way they are cut.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/bstr.hpp"

namespace drumel::api {

// A by-reference string handed to the platform. The platform sees its ANSI
// form (a null string stays a null pointer); the caller's string becomes what
// that form reads back as, so characters outside the code page come back
// replaced.
class AnsiArgument {
 public:
  explicit AnsiArgument(automation::Bstr& argument);
  const char* c_str() const noexcept { return null_ ? nullptr : text_.c_str(); }
  const std::string& text() const noexcept { return text_; }

 private:
  std::string text_;
  bool null_;
};

// The room's text before its first NUL; a room without a NUL holds no
// complete text, which is the empty string.
automation::Bstr nul_cut(std::string_view room);
// The first `count` characters of the room.
automation::Bstr count_cut(std::string_view room, std::size_t count);

// A number as the automation Str function writes it: a blank in place of
// the sign of a number of 0 or more.
std::u16string with_sign_position(int32_t number);
std::u16string decimal(int32_t number);

}  // namespace drumel::api
