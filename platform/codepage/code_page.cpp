#include "automation/code_page.hpp"

#include <iconv.h>
#include <cerrno>

#include <atomic>
#include <cstddef>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <type_traits>

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

// Maps each unit through the code page as it is read. Handed to a string's
// range constructor, it sizes the string once and writes every character
// once: no zero-filled buffer first, which on large texts costs as much as
// the conversion itself.
template <class Unit>
class MappedIterator {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = std::conditional_t<std::is_same_v<Unit, uint8_t>, char16_t, char>;
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = value_type;

  MappedIterator(const Unit* at, const AnsiCodePage& page) : at_(at), page_(&page) {}

  value_type operator*() const {
    if constexpr (std::is_same_v<Unit, uint8_t>)
      return page_->to_unicode(*at_);
    else
      return static_cast<char>(page_->to_ansi(*at_));
  }
  MappedIterator& operator++() {
    ++at_;
    return *this;
  }
  MappedIterator operator++(int) {
    MappedIterator before = *this;
    ++at_;
    return before;
  }
  difference_type operator-(const MappedIterator& other) const { return at_ - other.at_; }
  bool operator==(const MappedIterator& other) const { return at_ == other.at_; }

 private:
  const Unit* at_;
  const AnsiCodePage* page_;
};

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

std::string to_ansi(std::u16string_view text) {
  const AnsiCodePage& page = ansi_code_page();
  return std::string(MappedIterator(text.data(), page), MappedIterator(text.data() + text.size(), page));
}

std::u16string from_ansi(std::string_view bytes) {
  const AnsiCodePage& page = ansi_code_page();
  const auto* begin = reinterpret_cast<const uint8_t*>(bytes.data());
  return std::u16string(MappedIterator(begin, page), MappedIterator(begin + bytes.size(), page));
}

std::u16string ansi_round_trip(std::u16string_view text) { return from_ansi(to_ansi(text)); }

}  // namespace automation
