// libFuzzer target for clsEncript's decryption of random text: decrypt (the
// encrypted-data component) and DecryptText (the text cipher). decrypt never
// fails the call; DecryptText gives a text of the same length that
// EncryptText turns back, and the overflow error only from 32767 characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <string>

#include "automation/code_page.hpp"
#include "automation/error.hpp"
#include "drumel.hpp"
#include "fuzz_check.hpp"

namespace {

using automation::Bstr;

// Text from bytes: one character per byte in the code page, or pairs of
// bytes as UTF-16 code units (lone surrogates included).
Bstr any_text(FuzzedDataProvider& input, std::size_t most) {
  const bool wide = input.ConsumeBool();
  const std::string bytes = input.ConsumeRandomLengthString(most);
  if (!wide) return Bstr(automation::from_ansi(bytes));
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
  return Bstr(std::move(text));
}

void check_text_cipher(drumel::clsEncript& encript, Bstr text, const Bstr& password) {
  // Within the code page every character survives the round trip.
  text = Bstr(automation::ansi_round_trip(text.view()));
  const bool too_long = text.view().size() >= 32767 && !password.view().empty();
  automation::Variant plain;
  try {
    plain = encript.DecryptText(text, password);
  } catch (const automation::AutomationError& error) {
    fuzz::require(too_long && error.number() == automation::kErrOverflow, "DecryptText failed");
    return;
  }
  fuzz::require(!too_long, "DecryptText took a text of 32767 characters or more");
  Bstr deciphered = plain.get<Bstr>();
  fuzz::require(deciphered.view().size() == text.view().size(), "DecryptText changed the length");
  fuzz::require(encript.EncryptText(deciphered, password).get<Bstr>().view() == text.view(),
                "EncryptText does not undo DecryptText");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto encript = std::make_shared<drumel::clsEncript>();
  Bstr password = any_text(input, 64);
  const bool long_text = input.ConsumeIntegralInRange<int>(0, 31) == 0;
  Bstr text = any_text(input, size);
  if (long_text) text = Bstr(std::u16string(32766 + text.view().size() % 3, u'x') + text.str());

  // Any text at all: a result, never a failure of the call.
  Bstr encrypted = text;
  encript->decrypt(password, encrypted);
  fuzz::require(encrypted.view() == text.view(), "decrypt changed its argument");
  check_text_cipher(*encript, text, password);
  return 0;
}
