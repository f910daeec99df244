// Where the registry store lives, and what this process holds open in it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "automation/runtime_api.hpp"

namespace automation {

// $XDG_CONFIG_HOME/krelvo-drumel/registry.db, with ~/.config when the variable
// is unset, empty or relative. Read on every call: a host (or a test) may
// point the store elsewhere before it opens a root key.
AUTOMATION_RUNTIME_API std::filesystem::path registry_store_path();

// The SQLite VFS (SQLite's replaceable operating-system layer) the store is
// opened with, by the name it was registered under; empty for SQLite's
// default. A test registers one that fails on purpose. Handles opened before
// keep the store they were opened in.
AUTOMATION_RUNTIME_API void set_registry_store_vfs(std::string vfs_name);

// Key handles opened and not yet closed in this process.
AUTOMATION_RUNTIME_API std::size_t registry_open_key_count();

}  // namespace automation
