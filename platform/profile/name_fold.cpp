#include "name_fold.hpp"

#include <locale.h>
#include <wctype.h>

#include <map>
#include <mutex>

#include "automation/code_page.hpp"

namespace automation::profile {
namespace {

// Unicode case mapping without the host's locale settings; C.UTF-8 is built
// into the C library. Without it only A-Z fold.
locale_t unicode_ctype() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

char16_t upper_case(char16_t character) {
  if (const locale_t locale = unicode_ctype(); locale != static_cast<locale_t>(nullptr)) {
    const wint_t upper = towupper_l(character, locale);
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : character;
  }
  return character >= u'a' && character <= u'z' ? static_cast<char16_t>(character - 32) : character;
}

FoldTable build_fold_table(const AnsiCodePage& page) {
  FoldTable table{};
  for (std::size_t value = 0; value < table.size(); ++value) {
    const auto byte = static_cast<uint8_t>(value);
    const char16_t upper = upper_case(page.to_unicode(byte));
    table[value] = page.contains(upper) ? page.to_ansi(upper) : byte;
  }
  return table;
}

}  // namespace

const FoldTable& fold_table() {
  const AnsiCodePage& page = ansi_code_page();
  static std::mutex mutex;
  static std::map<const AnsiCodePage*, FoldTable> tables;  // nodes stay put: references stay valid
  std::lock_guard lock(mutex);
  auto [slot, added] = tables.try_emplace(&page);
  if (added) slot->second = build_fold_table(page);
  return slot->second;
}

std::string folded_name(const FoldTable& table, std::string_view name) {
  std::string folded(name.size(), '\0');
  for (std::size_t i = 0; i < name.size(); ++i) folded[i] = static_cast<char>(table[static_cast<uint8_t>(name[i])]);
  return folded;
}

NameMatcher::NameMatcher(std::string_view name) : table_(fold_table()), folded_(folded_name(table_, name)) {}

bool NameMatcher::matches(std::string_view candidate) const {
  if (candidate.size() != folded_.size()) return false;
  for (std::size_t i = 0; i < candidate.size(); ++i)
    if (static_cast<char>(table_[static_cast<uint8_t>(candidate[i])]) != folded_[i]) return false;
  return true;
}

}  // namespace automation::profile
