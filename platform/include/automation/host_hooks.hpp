// Process-wide hooks that a host may replace: the message box and the yield
// to the host's message loop. Set them before starting threads that use the
// libraries; calls are safe from any thread.
#pragma once

#include <cstdint>
#include <functional>

#include "automation/bstr.hpp"
#include "automation/runtime_api.hpp"

namespace automation {

// Message box styles: OK button only, with one icon or none.
inline constexpr int32_t kMsgBoxNoIcon = 0;
inline constexpr int32_t kMsgBoxCritical = 16;
inline constexpr int32_t kMsgBoxExclamation = 48;
inline constexpr int32_t kMsgBoxInformation = 64;

using MessageBoxHandler = std::function<void(const Bstr& text, const Bstr& caption, int32_t style)>;
using YieldHandler = std::function<void()>;

// An empty handler restores the default.
AUTOMATION_RUNTIME_API void set_message_box_handler(MessageBoxHandler handler);
AUTOMATION_RUNTIME_API void set_yield_handler(YieldHandler handler);

// Shows a modal box and returns when it is closed. Without a host handler: a
// zenity dialog in a graphical session, else the line "Caption: text" on
// standard error.
AUTOMATION_RUNTIME_API void message_box(const Bstr& text, int32_t style, const Bstr& caption);
// Lets the host process its pending events once.
AUTOMATION_RUNTIME_API void yield_to_host();

}  // namespace automation
