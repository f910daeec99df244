#include "automation/code_page.hpp"

#include <iconv.h>
#include <cerrno>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "automation/error.hpp"

namespace automation {
namespace {

class IconvHandle {
 public:
  explicit IconvHandle(const std::string& from) : handle_(iconv_open("UTF-16LE", from.c_str())) {}
  ~IconvHandle() {
    if (valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

enum class ByteMeaning { kCharacter, kUndefined, kLeadByte };

ByteMeaning decode_byte(const IconvHandle& converter, uint8_t byte, char16_t& character) {
  iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  char input = static_cast<char>(byte);
  char output[8];
  char* in = &input;
  char* out = output;
  size_t in_left = 1;
  size_t out_left = sizeof output;
  if (iconv(converter.get(), &in, &in_left, &out, &out_left) == static_cast<size_t>(-1))
    return errno == EINVAL ? ByteMeaning::kLeadByte : ByteMeaning::kUndefined;
  if (sizeof output - out_left != 2) return ByteMeaning::kUndefined;
  character = static_cast<char16_t>(static_cast<uint8_t>(output[0]) | static_cast<uint8_t>(output[1]) << 8);
  return ByteMeaning::kCharacter;
}

// Tables live for the whole process, so a reference handed out stays valid
// when the host switches code pages.
std::mutex tables_mutex;
std::map<uint32_t, std::unique_ptr<const AnsiCodePage>> built_tables;
std::atomic<const AnsiCodePage*> current_table{nullptr};

const AnsiCodePage& tables_for(uint32_t number) {
  std::lock_guard lock(tables_mutex);
  auto& slot = built_tables[number];
  if (!slot) slot = std::make_unique<const AnsiCodePage>(AnsiCodePage::build(number));
  return *slot;
}

// Runs of this many units are copied at once when all of them are ASCII.
constexpr std::size_t kBlock = 16;

// One block of units of `Bytes` bytes each, in the compiler's portable
// vector types: the same source becomes SSE2 on x86-64 and NEON on ARM.
template <std::size_t Bytes>
struct Block;
template <>
struct Block<1> {
  using type = uint8_t __attribute__((vector_size(kBlock)));
  static constexpr uint64_t kBeyondAscii = 0x8080808080808080u;
};
template <>
struct Block<2> {
  using type = uint16_t __attribute__((vector_size(kBlock * 2)));
  static constexpr uint64_t kBeyondAscii = 0xFF80FF80FF80FF80u;
};

// Whether any unit of the block has a bit of `mask` (repeated over 64 bits).
template <class Vector>
bool has_bits(const Vector& block, uint64_t mask) noexcept {
  std::array<uint64_t, sizeof(Vector) / sizeof(uint64_t)> words;
  std::memcpy(words.data(), &block, sizeof words);
  uint64_t seen = 0;
  for (const uint64_t word : words) seen |= word;
  return (seen & mask) != 0;
}

// Copies one block, narrowing or widening each unit, when all of them are ASCII.
template <class In, class Out>
bool copy_ascii_block(const In* in, Out* out) noexcept {
  using From = Block<sizeof(In)>;
  typename From::type units;
  std::memcpy(&units, in, sizeof units);
  if (has_bits(units, From::kBeyondAscii)) return false;
  const auto converted = __builtin_convertvector(units, typename Block<sizeof(Out)>::type);
  std::memcpy(out, &converted, sizeof converted);
  return true;
}

// Converts `length` units: blocks of ASCII are copied, other blocks and the
// tail go through `map` unit by unit.
template <class In, class Out, class Map>
void convert_run(const In* in, std::size_t length, Out* out, bool keeps_ascii, Map map) noexcept {
  std::size_t at = 0;
  if (keeps_ascii) {
    for (; at + kBlock <= length; at += kBlock) {
      if (copy_ascii_block(in + at, out + at)) continue;
      for (std::size_t i = 0; i < kBlock; ++i) out[at + i] = map(in[at + i]);
    }
  }
  for (; at < length; ++at) out[at] = map(in[at]);
}

}  // namespace

AnsiCodePage AnsiCodePage::build(uint32_t number) {
  const IconvHandle converter("CP" + std::to_string(number));
  if (!converter.valid()) raise_invalid_argument("unknown code page " + std::to_string(number));
  AnsiCodePage page;
  page.number_ = number;
  page.to_ansi_.fill(static_cast<uint8_t>('?'));
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<uint8_t>(value);
    char16_t character = byte;
    const ByteMeaning meaning = decode_byte(converter, byte, character);
    if (meaning == ByteMeaning::kLeadByte)
      raise_invalid_argument("code page " + std::to_string(number) + " is not a single-byte code page");
    if (meaning == ByteMeaning::kUndefined) character = byte;
    page.to_unicode_[byte] = character;
    page.to_ansi_[character] = byte;
    page.in_page_.set(character);
  }
  page.keeps_ascii_ = true;
  for (char16_t character = 0; character < 0x80; ++character)
    page.keeps_ascii_ =
        page.keeps_ascii_ && page.to_unicode_[character] == character && page.to_ansi_[character] == character;
  return page;
}

void set_ansi_code_page(uint32_t number) { current_table.store(&tables_for(number), std::memory_order_release); }

const AnsiCodePage& ansi_code_page() {
  const AnsiCodePage* table = current_table.load(std::memory_order_acquire);
  if (table != nullptr) return *table;
  const AnsiCodePage& fallback = tables_for(kDefaultAnsiCodePage);
  const AnsiCodePage* expected = nullptr;
  current_table.compare_exchange_strong(expected, &fallback, std::memory_order_acq_rel);
  return *current_table.load(std::memory_order_acquire);
}

void AnsiCodePage::to_ansi(std::u16string_view text, char* out) const noexcept {
  convert_run(text.data(), text.size(), out, keeps_ascii_,
              [this](char16_t character) { return static_cast<char>(to_ansi_[character]); });
}

void AnsiCodePage::to_unicode(std::string_view bytes, char16_t* out) const noexcept {
  convert_run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out, keeps_ascii_,
              [this](uint8_t byte) { return to_unicode_[byte]; });
}

std::string to_ansi(std::u16string_view text) {
  std::string bytes(text.size(), '\0');
  ansi_code_page().to_ansi(text, bytes.data());
  return bytes;
}

std::u16string from_ansi(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  ansi_code_page().to_unicode(bytes, text.data());
  return text;
}

std::u16string ansi_round_trip(std::u16string_view text) { return from_ansi(to_ansi(text)); }

}  // namespace automation
