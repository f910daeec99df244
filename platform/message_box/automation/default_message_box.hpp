// The message box when the host has set no handler of its own: a desktop
// dialog in a graphical session, else one line on standard error.
#pragma once

#include <cstdint>

#include "automation/bstr.hpp"

namespace automation {

// Returns when the box is closed.
void show_default_message_box(const Bstr& text, const Bstr& caption, int32_t style);

}  // namespace automation
