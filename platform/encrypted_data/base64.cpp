#include "base64.hpp"

#include <array>

namespace automation::encrypted_data {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int8_t kNotBase64 = -1;

constexpr std::array<int8_t, 128> kSextets = [] {
  std::array<int8_t, 128> table{};
  table.fill(kNotBase64);
  for (int8_t value = 0; value < 64; ++value) table[static_cast<uint8_t>(kAlphabet[value])] = value;
  return table;
}();

int sextet(char16_t character) { return character < 128 ? kSextets[character] : kNotBase64; }

}  // namespace

std::u16string base64_encode(std::span<const uint8_t> bytes) {
  std::u16string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t group = uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2];
    for (const int shift : {18, 12, 6, 0}) text.push_back(static_cast<char16_t>(kAlphabet[(group >> shift) & 63]));
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    const uint32_t group = uint32_t{bytes[i]} << 16 | (rest == 2 ? uint32_t{bytes[i + 1]} << 8 : 0);
    text.push_back(static_cast<char16_t>(kAlphabet[group >> 18]));
    text.push_back(static_cast<char16_t>(kAlphabet[(group >> 12) & 63]));
    text.push_back(rest == 2 ? static_cast<char16_t>(kAlphabet[(group >> 6) & 63]) : u'=');
    text.push_back(u'=');
  }
  return text;
}

std::optional<std::vector<uint8_t>> base64_decode(std::u16string_view text) {
  std::u16string compact;
  compact.reserve(text.size());
  for (const char16_t character : text)
    if (character != u'\r' && character != u'\n') compact.push_back(character);
  if (compact.size() % 4 != 0) return std::nullopt;

  std::size_t padding = 0;
  while (padding < 2 && padding < compact.size() && compact[compact.size() - 1 - padding] == u'=') ++padding;
  const std::size_t data_characters = compact.size() - padding;

  std::vector<uint8_t> bytes;
  bytes.reserve(data_characters * 3 / 4);
  uint32_t bits = 0;
  int bit_count = 0;
  for (std::size_t i = 0; i < data_characters; ++i) {
    const int value = sextet(compact[i]);
    if (value == kNotBase64) return std::nullopt;
    bits = (bits << 6) | static_cast<uint32_t>(value);
    bit_count += 6;
    if (bit_count >= 8) {
      bit_count -= 8;
      bytes.push_back(static_cast<uint8_t>(bits >> bit_count));
      bits &= (1u << bit_count) - 1;
    }
  }
  // The bits left over after the last byte must be the zero bits of padding.
  if (bits != 0) return std::nullopt;
  return bytes;
}

}  // namespace automation::encrypted_data
