// Text from input files shown on a terminal: control characters are escaped,
// so a label can neither move the cursor, set the window title, nor break a
// table row in two.
#pragma once

#include <string>
#include <string_view>

namespace krelvo::cli {

// "\n", "\t", "\r" and "\x1b"-style escapes for C0 controls and DEL, "\u0085"
// for C1 controls, "\xE9" for bytes that are not UTF-8; other text unchanged.
std::string terminal_text(std::string_view text);

}  // namespace krelvo::cli
