#include "registry_handles.hpp"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "automation/registry_store.hpp"

namespace automation::registry_store {
namespace {

constexpr HKEY kPredefinedKeys[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                                    HKEY_CURRENT_CONFIG};
// Handed-out handles stay below the predefined ones, so a host that keeps a
// handle in a signed 32-bit integer sees a positive number.
constexpr HKEY kLastOpenHandle = 0x7FFFFFFFu;

std::mutex table_mutex;
std::unordered_map<HKEY, OpenKey> open_keys;
HKEY last_handed_out = 0;

std::mutex store_mutex;
std::shared_ptr<RegistryDatabase> current_store;
std::string store_vfs;

std::shared_ptr<RegistryDatabase> store_named_by_environment() {
  std::filesystem::path file = registry_store_path();
  std::lock_guard lock(store_mutex);
  if (!current_store || current_store->file() != file || current_store->vfs() != store_vfs)
    current_store = std::make_shared<RegistryDatabase>(std::move(file), store_vfs);
  return current_store;
}

}  // namespace

void set_store_vfs(std::string vfs_name) {
  std::lock_guard lock(store_mutex);
  store_vfs = std::move(vfs_name);
}

bool is_predefined_key(HKEY handle) {
  return std::find(std::begin(kPredefinedKeys), std::end(kPredefinedKeys), handle) != std::end(kPredefinedKeys);
}

std::optional<OpenKey> find_open_key(HKEY handle) {
  if (is_predefined_key(handle)) return OpenKey{store_named_by_environment(), static_cast<KeyId>(handle)};
  std::lock_guard lock(table_mutex);
  const auto found = open_keys.find(handle);
  if (found == open_keys.end()) return std::nullopt;
  return found->second;
}

HKEY add_open_key(OpenKey key) {
  std::lock_guard lock(table_mutex);
  // Handles are reused only after the counter wraps, so a stale handle of a
  // host is unknown for as long as possible.
  do {
    last_handed_out = last_handed_out >= kLastOpenHandle ? 1 : last_handed_out + 1;
  } while (open_keys.contains(last_handed_out));
  open_keys.emplace(last_handed_out, std::move(key));
  return last_handed_out;
}

bool close_open_key(HKEY handle) {
  std::lock_guard lock(table_mutex);
  return open_keys.erase(handle) == 1;
}

std::size_t open_key_count() {
  std::lock_guard lock(table_mutex);
  return open_keys.size();
}

}  // namespace automation::registry_store
