#include "terminal_text.hpp"

#include <array>
#include <cstdio>

namespace krelvo::cli {
namespace {

std::string hex_escape(const char* prefix, unsigned value, int digits) {
  std::array<char, 16> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%s%0*x", prefix, digits, value);
  return buffer.data();
}

// Length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t sequence_length(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4                                  ? 4
                                                                                             : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t next = 1; next < length; ++next)
    if ((static_cast<unsigned char>(text[at + next]) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

std::string terminal_text(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (byte == '\n')
        shown += "\\n";
      else if (byte == '\t')
        shown += "\\t";
      else if (byte == '\r')
        shown += "\\r";
      else if (byte < 0x20 || byte == 0x7F)
        shown += hex_escape("\\x", byte, 2);
      else
        shown += static_cast<char>(byte);
      ++at;
      continue;
    }
    const std::size_t length = sequence_length(text, at);
    if (length == 0) {
      shown += hex_escape("\\x", byte, 2);
      ++at;
    } else if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0) {
      shown += hex_escape("\\u", static_cast<unsigned char>(text[at + 1]), 4);  // C1 controls U+0080..U+009F
      at += 2;
    } else {
      shown.append(text.substr(at, length));
      at += length;
    }
  }
  return shown;
}

}  // namespace krelvo::cli
