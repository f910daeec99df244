// The process's single-byte ANSI code page: every text that crosses to the
// operating system and every text file of the utility library is in it.
// Windows-1250 by default; a host may choose another with one call.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "automation/runtime_api.hpp"

namespace automation {

class AnsiCodePage {
 public:
  uint32_t number() const noexcept { return number_; }
  // Every byte has a character: bytes the code page leaves undefined read as
  // the control character of the same number, so any byte survives a round trip.
  char16_t to_unicode(uint8_t byte) const noexcept { return to_unicode_[byte]; }
  // '?' for a character outside the code page. One byte load: checksums run it per character.
  uint8_t to_ansi(char16_t character) const noexcept { return to_ansi_[character]; }
  bool contains(char16_t character) const noexcept { return in_page_[character]; }
  // Whole runs at once, into room for text.size() units: the same as one unit
  // at a time, but runs of ASCII are copied in blocks where the code page
  // keeps ASCII as it is.
  AUTOMATION_RUNTIME_API void to_ansi(std::u16string_view text, char* out) const noexcept;
  AUTOMATION_RUNTIME_API void to_unicode(std::string_view bytes, char16_t* out) const noexcept;

  // Built with the C library's converters; raises the invalid-argument error
  // for a code page that is unknown or not single-byte.
  static AnsiCodePage build(uint32_t number);

 private:
  uint32_t number_ = 0;
  bool keeps_ascii_ = false;
  std::array<char16_t, 256> to_unicode_{};
  std::array<uint8_t, 65536> to_ansi_{};
  std::bitset<65536> in_page_;
};

inline constexpr uint32_t kDefaultAnsiCodePage = 1250;

// Set it before starting threads that use the libraries.
AUTOMATION_RUNTIME_API void set_ansi_code_page(uint32_t number);
AUTOMATION_RUNTIME_API const AnsiCodePage& ansi_code_page();

AUTOMATION_RUNTIME_API std::string to_ansi(std::u16string_view text);
AUTOMATION_RUNTIME_API std::u16string from_ansi(std::string_view bytes);
// The text as it comes back from a trip through the code page.
AUTOMATION_RUNTIME_API std::u16string ansi_round_trip(std::u16string_view text);

// The platform's upper-casing: Unicode simple case mapping, one code unit for
// one, so the text keeps its length ("ß" stays, "č" becomes "Č").
AUTOMATION_RUNTIME_API std::u16string upper_case(std::u16string_view text);

}  // namespace automation
