#include "platform_text.hpp"

#include "automation/code_page.hpp"

namespace drumel::api {

AnsiArgument::AnsiArgument(automation::Bstr& argument)
    : text_(automation::to_ansi(argument.view())), null_(argument.is_null()) {
  if (!null_) argument = automation::Bstr(automation::from_ansi(text_));
}

automation::Bstr nul_cut(std::string_view room) {
  const std::size_t end = room.find('\0');
  if (end == std::string_view::npos) return automation::Bstr(u"");
  return automation::Bstr(automation::from_ansi(room.substr(0, end)));
}

automation::Bstr count_cut(std::string_view room, std::size_t count) {
  return automation::Bstr(automation::from_ansi(room.substr(0, count)));
}

std::u16string decimal(int32_t number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string with_sign_position(int32_t number) {
  std::u16string text = decimal(number);
  if (number >= 0) text.insert(text.begin(), u' ');
  return text;
}

}  // namespace drumel::api
