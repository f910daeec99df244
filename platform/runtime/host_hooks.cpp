#include "automation/host_hooks.hpp"

#include <memory>
#include <mutex>

#include "automation/default_message_box.hpp"

namespace automation {
namespace {

std::mutex hooks_mutex;
std::shared_ptr<const MessageBoxHandler> message_box_hook;
std::shared_ptr<const YieldHandler> yield_hook;

template <class Handler>
std::shared_ptr<const Handler> current(const std::shared_ptr<const Handler>& hook) {
  std::lock_guard lock(hooks_mutex);
  return hook;
}

}  // namespace

void set_message_box_handler(MessageBoxHandler handler) {
  auto replacement = handler ? std::make_shared<const MessageBoxHandler>(std::move(handler)) : nullptr;
  std::lock_guard lock(hooks_mutex);
  message_box_hook = std::move(replacement);
}

void set_yield_handler(YieldHandler handler) {
  auto replacement = handler ? std::make_shared<const YieldHandler>(std::move(handler)) : nullptr;
  std::lock_guard lock(hooks_mutex);
  yield_hook = std::move(replacement);
}

void message_box(const Bstr& text, int32_t style, const Bstr& caption) {
  if (auto hook = current(message_box_hook)) {
    (*hook)(text, caption, style);
    return;
  }
  show_default_message_box(text, caption, style);
}

void yield_to_host() {
  if (auto hook = current(yield_hook)) (*hook)();
}

}  // namespace automation
