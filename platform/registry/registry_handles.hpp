// The process-wide table of open key handles. A handle remembers the store
// file it was opened in, so it stays valid when the environment later names
// another store (tests switch $XDG_CONFIG_HOME between cases).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "automation/registry.hpp"
#include "registry_database.hpp"

namespace automation::registry_store {

struct OpenKey {
  std::shared_ptr<RegistryDatabase> database;
  KeyId id = 0;
};

// The SQLite VFS of stores opened from now on; empty for SQLite's default.
void set_store_vfs(std::string vfs_name);

bool is_predefined_key(HKEY handle);
// A predefined root (in the store the environment names now) or a key opened
// before; nullopt for 0, a closed handle or one never handed out.
std::optional<OpenKey> find_open_key(HKEY handle);
HKEY add_open_key(OpenKey key);
// False when the handle was not open.
bool close_open_key(HKEY handle);
std::size_t open_key_count();

}  // namespace automation::registry_store
