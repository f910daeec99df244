// Text to number by the host's number format: the decimal and thousands
// separators of the calling thread's LC_NUMERIC locale, the one the host chose
// with setlocale or uselocale. A host that never chose one runs in the "C"
// locale ('.' and no thousands separator); a host that wants its user's
// format calls setlocale(LC_NUMERIC, "") as C programs do.
#pragma once

#include <optional>
#include <string_view>

#include "automation/runtime_api.hpp"

namespace automation {

// Blanks (spaces, tabs) around the number are ignored; then an optional sign,
// digits with single thousands separators between them, an optional decimal
// separator and digits, and an optional exponent (e or E, an optional sign,
// digits). At least one digit before the exponent. nullopt: the text is no
// number. A number beyond the double range comes back as an infinity, which
// the checked conversions report as the overflow error.
// A locale whose thousands separator is a (narrow) no-break space also takes
// a plain space there: the ANSI code pages cannot hold U+202F.
AUTOMATION_RUNTIME_API std::optional<double> locale_text_to_double(std::u16string_view text);

}  // namespace automation
