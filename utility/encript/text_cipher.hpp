// The password cipher for text: each character's ANSI code shifted by the
// code of a character of the upper-cased password, modulo 256.
#pragma once

#include <string_view>

#include "automation/bstr.hpp"

namespace drumel::encript {

enum class CipherDirection { kEncipher, kDecipher };

// An empty password leaves the text as it is; otherwise a text of 32767
// characters or more is the overflow error.
automation::Bstr shift_text(const automation::Bstr& text, std::u16string_view password, CipherDirection direction);

}  // namespace drumel::encript
