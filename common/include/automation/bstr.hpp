// Length-counted UTF-16 string that tells a null string from an empty one;
// some platform calls take a null string on purpose.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace automation {

class Bstr {
 public:
  Bstr() = default;  // null
  Bstr(std::u16string text) : text_(std::move(text)) {}
  Bstr(std::u16string_view text) : text_(std::u16string(text)) {}
  Bstr(const char16_t* text) : text_(std::u16string(text)) {}

  static Bstr null() { return Bstr(); }
  static Bstr from_utf8(std::string_view utf8);

  bool is_null() const noexcept { return !text_.has_value(); }
  // A null string reads as empty text, as automation hosts treat it.
  const std::u16string& str() const noexcept { return text_ ? *text_ : empty_text(); }
  std::u16string_view view() const noexcept { return str(); }
  std::size_t size() const noexcept { return str().size(); }
  bool empty() const noexcept { return str().empty(); }
  std::string to_utf8() const;

  friend bool operator==(const Bstr& a, const Bstr& b) { return a.is_null() == b.is_null() && a.str() == b.str(); }

 private:
  static const std::u16string& empty_text() noexcept {
    static const std::u16string kEmpty;
    return kEmpty;
  }
  std::optional<std::u16string> text_;
};

// UTF-8 and UTF-16 conversions; invalid sequences become U+FFFD.
std::u16string utf8_to_utf16(std::string_view utf8);
std::string utf16_to_utf8(std::u16string_view utf16);

inline Bstr Bstr::from_utf8(std::string_view utf8) { return Bstr(utf8_to_utf16(utf8)); }
inline std::string Bstr::to_utf8() const { return utf16_to_utf8(str()); }

inline std::u16string utf8_to_utf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
  while (i < n) {
    const unsigned char lead = byte(i);
    char32_t code = 0xFFFD;
    std::size_t length = 1;
    if (lead < 0x80) {
      code = lead;
    } else if (lead >= 0xC2 && lead < 0xF5) {
      const std::size_t want = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
      char32_t value = lead & (0x7F >> want);
      std::size_t k = 1;
      for (; k < want && i + k < n && (byte(i + k) & 0xC0) == 0x80; ++k) value = (value << 6) | (byte(i + k) & 0x3F);
      length = k;
      const bool overlong = (want == 3 && value < 0x800) || (want == 4 && value < 0x10000);
      const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
      if (k == want && !overlong && !surrogate && value <= 0x10FFFF) code = value;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

inline std::string utf16_to_utf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t code = utf16[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace automation
