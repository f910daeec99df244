#include "automation/object.hpp"

#include <algorithm>

namespace automation {

Object::~Object() = default;

uint32_t EventSource::connect(Handler handler) {
  std::lock_guard lock(mutex_);
  const uint32_t cookie = next_cookie_++;
  handlers_.emplace_back(cookie, std::make_shared<const Handler>(std::move(handler)));
  return cookie;
}

void EventSource::disconnect(uint32_t cookie) {
  std::lock_guard lock(mutex_);
  std::erase_if(handlers_, [cookie](const auto& entry) { return entry.first == cookie; });
}

std::size_t EventSource::connection_count() const {
  std::lock_guard lock(mutex_);
  return handlers_.size();
}

void EventSource::raise(const std::string& event_name, std::span<Variant> args) {
  // A snapshot, so handlers may connect or disconnect while the event runs.
  std::vector<std::shared_ptr<const Handler>> snapshot;
  {
    std::lock_guard lock(mutex_);
    snapshot.reserve(handlers_.size());
    for (const auto& entry : handlers_) snapshot.push_back(entry.second);
  }
  for (const auto& handler : snapshot) (*handler)(event_name, args);
}

}  // namespace automation
