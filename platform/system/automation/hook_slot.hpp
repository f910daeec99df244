// A replaceable process-wide handler: a host sets it once, calls read it from
// any thread. A reader keeps the handler it got alive while it runs, even if
// the host replaces it meanwhile.
#pragma once

#include <memory>
#include <mutex>
#include <utility>

namespace automation {

template <class Handler>
class HookSlot {
 public:
  // An empty handler clears the slot.
  void set(Handler handler) {
    auto replacement = handler ? std::make_shared<const Handler>(std::move(handler)) : nullptr;
    std::lock_guard lock(mutex_);
    handler_ = std::move(replacement);
  }
  std::shared_ptr<const Handler> get() const {
    std::lock_guard lock(mutex_);
    return handler_;
  }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<const Handler> handler_;
};

}  // namespace automation
