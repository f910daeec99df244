#include "automation/locale_number.hpp"

#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>

#include <string>

#include "automation/bstr.hpp"

namespace automation {
namespace {

// Locale strings are in the locale's own character set: UTF-8 in every
// current locale, one byte per character (read as Latin-1) in older ones.
std::u16string locale_text(const char* text) {
  const std::string_view bytes(text == nullptr ? "" : text);
  std::u16string decoded = utf8_to_utf16(bytes);
  const bool invalid =
      decoded.find(u'\uFFFD') != std::u16string::npos && bytes.find("\xEF\xBF\xBD") == std::string_view::npos;
  if (!invalid) return decoded;
  return std::u16string(bytes.begin(), bytes.end());
}

bool is_space_like(char16_t character) { return character == u' ' || character == u'\u00A0' || character == u'\u202F'; }

struct Separators {
  std::u16string decimal;
  std::u16string thousands;

  bool is_thousands_at(std::u16string_view text, std::size_t at) const {
    if (thousands.empty()) return false;
    if (thousands.size() == 1 && is_space_like(thousands[0])) return is_space_like(text[at]);
    return text.substr(at, thousands.size()) == thousands;
  }
  std::size_t thousands_length(std::u16string_view text, std::size_t at) const {
    return thousands.size() == 1 && is_space_like(thousands[0]) ? (is_space_like(text[at]) ? 1 : 0) : thousands.size();
  }
};

Separators current_separators() {
  std::u16string decimal = locale_text(nl_langinfo(RADIXCHAR));
  if (decimal.empty()) decimal.push_back(u'.');
  return Separators{std::move(decimal), locale_text(nl_langinfo(THOUSEP))};
}

bool is_digit(char16_t character) { return character >= u'0' && character <= u'9'; }

// The number in the "C" locale's form, for the C library's exact conversion.
std::optional<std::string> canonical_number(std::u16string_view text, const Separators& separators) {
  std::string number;
  std::size_t at = 0;
  const auto peek = [&] { return at < text.size() ? text[at] : u'\0'; };
  if (peek() == u'+' || peek() == u'-') number.push_back(static_cast<char>(text[at++]));
  bool digits = false;
  while (at < text.size()) {
    if (is_digit(text[at])) {
      number.push_back(static_cast<char>(text[at++]));
      digits = true;
    } else if (digits && separators.is_thousands_at(text, at)) {
      const std::size_t after = at + separators.thousands_length(text, at);
      if (after >= text.size() || !is_digit(text[after])) return std::nullopt;
      at = after;
    } else {
      break;
    }
  }
  if (text.substr(at, separators.decimal.size()) == separators.decimal) {
    at += separators.decimal.size();
    number.push_back('.');
    while (at < text.size() && is_digit(text[at])) {
      number.push_back(static_cast<char>(text[at++]));
      digits = true;
    }
  }
  if (!digits) return std::nullopt;
  if (peek() == u'e' || peek() == u'E') {
    number.push_back('e');
    ++at;
    if (peek() == u'+' || peek() == u'-') number.push_back(static_cast<char>(text[at++]));
    bool exponent_digits = false;
    while (at < text.size() && is_digit(text[at])) {
      number.push_back(static_cast<char>(text[at++]));
      exponent_digits = true;
    }
    if (!exponent_digits) return std::nullopt;
  }
  if (at != text.size()) return std::nullopt;
  return number;
}

std::u16string_view trim_blanks(std::u16string_view text) {
  const auto first = text.find_first_not_of(u" \t");
  if (first == std::u16string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

locale_t c_numeric_locale() {
  static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

std::optional<double> locale_text_to_double(std::u16string_view text) {
  const auto number = canonical_number(trim_blanks(text), current_separators());
  if (!number) return std::nullopt;
  // Overflow gives an infinity, underflow zero or a subnormal: both as wanted.
  return strtod_l(number->c_str(), nullptr, c_numeric_locale());
}

}  // namespace automation
