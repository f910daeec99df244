#include "text_cipher.hpp"

#include <string>
#include <vector>

#include "automation/code_page.hpp"
#include "automation/error.hpp"

namespace drumel::encript {
namespace {

// The loop counts characters in 16 bits and fails on the step past 32767.
constexpr std::size_t kLongestText = 32766;

}  // namespace

automation::Bstr shift_text(const automation::Bstr& text, std::u16string_view password, CipherDirection direction) {
  const std::u16string key = automation::upper_case(password);
  if (key.empty()) return text;
  if (text.size() > kLongestText)
    automation::raise_overflow("Overflow: a text of " + std::to_string(text.size()) +
                               " characters is longer than the 32766 the cipher takes");

  const automation::AnsiCodePage& page = automation::ansi_code_page();
  std::vector<uint8_t> key_codes(key.size());
  for (std::size_t j = 0; j < key.size(); ++j) key_codes[j] = page.to_ansi(key[j]);

  const std::u16string_view input = text.view();
  std::u16string output(input.size(), u'\0');
  // Text character i (from 1) pairs with password character (i mod L) + 1,
  // so the first character takes the password's second one.
  std::size_t key_index = 1 % key.size();
  for (std::size_t i = 0; i < input.size(); ++i) {
    const int code = page.to_ansi(input[i]);
    const int shift = key_codes[key_index];
    const int shifted = direction == CipherDirection::kEncipher ? code + shift : code - shift;
    output[i] = page.to_unicode(static_cast<uint8_t>(shifted & 0xFF));
    if (++key_index == key.size()) key_index = 0;
  }
  return automation::Bstr(std::move(output));
}

}  // namespace drumel::encript
