// One registry store file: keys as a tree below the predefined roots, values
// with a name, a type and bytes. Every operation is one transaction, so two
// processes (or threads) using the file at once lose nothing. Results are the
// registry's codes; a failure of the database itself raises.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "automation/registry.hpp"
#include "sqlite_connection.hpp"

namespace automation::registry_store {

// A root key's id is its predefined handle value; other keys get ids above.
using KeyId = int64_t;
// Key names below some key, in stored form (UTF-8), none empty.
using KeyPath = std::vector<std::string>;

struct StoredValue {
  DWORD type = REG_NONE;
  std::vector<uint8_t> data;
};

class RegistryDatabase {
 public:
  // The file and its folder are created on first use, not here. An empty
  // VFS name is SQLite's default.
  RegistryDatabase(std::filesystem::path file, std::string vfs) : file_(std::move(file)), vfs_(std::move(vfs)) {}
  ~RegistryDatabase();
  RegistryDatabase(const RegistryDatabase&) = delete;
  RegistryDatabase& operator=(const RegistryDatabase&) = delete;

  const std::filesystem::path& file() const noexcept { return file_; }
  const std::string& vfs() const noexcept { return vfs_; }

  LONG open_key(KeyId base, const KeyPath& path, KeyId& found);
  // Creates every missing key of the path.
  LONG create_key(KeyId base, const KeyPath& path, KeyId& created);
  // Only a key without subkeys; its values go with it.
  LONG delete_key(KeyId base, const KeyPath& path);
  LONG read_value(KeyId key, std::string_view name, StoredValue& value);
  LONG write_value(KeyId key, std::string_view name, DWORD type, std::span<const uint8_t> data);
  LONG delete_value(KeyId key, std::string_view name);

 private:
  // Opened on first use and again in a forked child. Where the store cannot
  // be written (a read-only folder), reads get a read-only connection for
  // that one call, so a store that becomes writable is used as such again.
  // Call with mutex_ held.
  SqliteConnection& connection(SqliteConnection::Access access);
  std::unique_ptr<SqliteConnection> open_read_write() const;
  std::unique_ptr<SqliteConnection> open_read_only() const;

  std::filesystem::path file_;
  std::string vfs_;
  std::mutex mutex_;
  std::unique_ptr<SqliteConnection> connection_;
  pid_t connection_owner_ = 0;
  bool read_only_ = false;
};

}  // namespace automation::registry_store
