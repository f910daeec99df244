#include "automation/host_hooks.hpp"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace automation {
namespace {

std::mutex hooks_mutex;
std::shared_ptr<const MessageBoxHandler> message_box_hook;
std::shared_ptr<const YieldHandler> yield_hook;

// Without a host handler the box becomes one line on standard error.
void default_message_box(const Bstr& text, const Bstr& caption, int32_t /*style*/) {
  std::string line = caption.to_utf8() + ": ";
  const std::string body = text.to_utf8();
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
    line.push_back(body[i]);
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

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
  default_message_box(text, caption, style);
}

void yield_to_host() {
  if (auto hook = current(yield_hook)) (*hook)();
}

}  // namespace automation
