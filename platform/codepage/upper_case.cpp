#include <locale.h>
#include <wctype.h>

#include <memory>

#include "automation/code_page.hpp"

namespace automation {
namespace {

struct LocaleDeleter {
  void operator()(locale_t locale) const { freelocale(locale); }
};
using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleDeleter>;

// The C library's Unicode locale holds the full simple case mapping; where it
// is missing, the portable "C" locale still upper-cases ASCII letters.
locale_t unicode_ctype() {
  static const LocaleHandle locale = [] {
    locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return LocaleHandle(unicode != locale_t{} ? unicode : newlocale(LC_CTYPE_MASK, "C", locale_t{}));
  }();
  return locale.get();
}

bool is_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

}  // namespace

std::u16string upper_case(std::u16string_view text) {
  const locale_t locale = unicode_ctype();
  std::u16string upper(text);
  for (char16_t& unit : upper) {
    if (is_surrogate(unit)) continue;
    const wint_t mapped = towupper_l(unit, locale);
    // One code unit for one: a mapping that leaves the basic plane keeps the character.
    if (mapped <= 0xFFFF && !is_surrogate(static_cast<char16_t>(mapped))) unit = static_cast<char16_t>(mapped);
  }
  return upper;
}

}  // namespace automation
