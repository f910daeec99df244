// Password encryption delegated to the platform's encrypted-data component.
#pragma once

#include "automation/bstr.hpp"

namespace drumel::encript {

// Base64 text; the empty string when anything fails, the component's creation included.
automation::Bstr encrypt_with_password(const automation::Bstr& password, const automation::Bstr& plaintext) noexcept;
// The plaintext; the empty string when anything fails.
automation::Bstr decrypt_with_password(const automation::Bstr& password, const automation::Bstr& encrypted) noexcept;

}  // namespace drumel::encript
