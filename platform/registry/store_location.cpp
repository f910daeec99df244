#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "automation/error.hpp"
#include "automation/registry_store.hpp"
#include "registry_handles.hpp"

namespace automation {
namespace {

constexpr const char* kProjectFolder = "krelvo-drumel";
constexpr const char* kStoreFile = "registry.db";

std::filesystem::path home_folder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  // No HOME (a service, a cleaned environment): the account's own entry.
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/')
    return found->pw_dir;
  raise_invalid_argument("registry store: no home folder for user " + std::to_string(getuid()));
}

// Relative values are ignored, as the base directory rules ask.
std::filesystem::path config_folder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') return config;
  return home_folder() / ".config";
}

}  // namespace

std::filesystem::path registry_store_path() { return config_folder() / kProjectFolder / kStoreFile; }

void set_registry_store_vfs(std::string vfs_name) { registry_store::set_store_vfs(std::move(vfs_name)); }

std::size_t registry_open_key_count() { return registry_store::open_key_count(); }

}  // namespace automation
