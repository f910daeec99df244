#include "registry_database.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <system_error>
#include <thread>

namespace automation::registry_store {
namespace {

// Long enough for another process's longest transaction on a slow disk.
constexpr int kBusyTimeoutMs = 10000;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
  id INTEGER PRIMARY KEY,
  parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,
  name TEXT NOT NULL COLLATE NOCASE,
  UNIQUE(parent, name));
CREATE TABLE IF NOT EXISTS key_values(
  key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
  name TEXT NOT NULL COLLATE NOCASE,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY(key, name)) WITHOUT ROWID;
INSERT OR IGNORE INTO keys(id, parent, name) VALUES
  (2147483648, NULL, 'HKEY_CLASSES_ROOT'),
  (2147483649, NULL, 'HKEY_CURRENT_USER'),
  (2147483650, NULL, 'HKEY_LOCAL_MACHINE'),
  (2147483651, NULL, 'HKEY_USERS'),
  (2147483653, NULL, 'HKEY_CURRENT_CONFIG');
PRAGMA user_version = 1;
)sql";

// The store holds a user's settings: its folders are the user's alone.
void create_private_folders(const std::filesystem::path& folder) {
  if (folder.empty() || std::filesystem::exists(folder)) return;
  create_private_folders(folder.parent_path());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw std::system_error(errno, std::generic_category(), "cannot create " + folder.string());
}

// Readers never wait for a writer; writers queue on the busy timeout. The
// switch needs the file to itself and SQLite does not wait for that, so a
// second process opening a new store at the same moment tries again.
void use_write_ahead_log(SqliteConnection& connection) {
  using namespace std::chrono;
  const auto deadline = steady_clock::now() + milliseconds(kBusyTimeoutMs);
  while (!connection.execute_unless_busy("PRAGMA journal_mode = WAL")) {
    if (steady_clock::now() > deadline) {
      // A last try that raises with SQLite's own message if still refused.
      connection.execute("PRAGMA journal_mode = WAL");
      return;
    }
    std::this_thread::sleep_for(milliseconds(5));
  }
}

int64_t schema_version(const SqliteConnection& connection) {
  // The statement must be finished before a write transaction starts, or its
  // read lock could never be upgraded while another writer waits.
  SqliteStatement version(connection, "PRAGMA user_version");
  return version.step() ? version.column_int64(0) : 0;
}

void ensure_schema(SqliteConnection& connection) {
  if (schema_version(connection) >= 1) return;
  SqliteTransaction transaction(connection, SqliteTransaction::Kind::kWrite);
  connection.execute(kSchema);
  transaction.commit();
}

bool key_exists(const SqliteConnection& connection, KeyId key) {
  SqliteStatement query(connection, "SELECT 1 FROM keys WHERE id = ?");
  return query.bind(1, key).step();
}

std::optional<KeyId> find_child(const SqliteConnection& connection, KeyId parent, const std::string& name) {
  SqliteStatement query(connection, "SELECT id FROM keys WHERE parent = ? AND name = ?");
  query.bind(1, parent).bind(2, name);
  if (!query.step()) return std::nullopt;
  return query.column_int64(0);
}

// The key at the path below base; nullopt when a key of the path is missing.
std::optional<KeyId> find_path(const SqliteConnection& connection, KeyId base, const KeyPath& path) {
  KeyId key = base;
  for (const std::string& name : path) {
    const std::optional<KeyId> child = find_child(connection, key, name);
    if (!child) return std::nullopt;
    key = *child;
  }
  return key;
}

}  // namespace

RegistryDatabase::~RegistryDatabase() {
  if (connection_ && connection_owner_ != ::getpid()) connection_->abandon();
}

std::unique_ptr<SqliteConnection> RegistryDatabase::open_read_write() const {
  create_private_folders(file_.parent_path());
  auto opened = std::make_unique<SqliteConnection>(file_, vfs_, kBusyTimeoutMs);
  opened->execute("PRAGMA foreign_keys = ON");
  use_write_ahead_log(*opened);
  ensure_schema(*opened);
  return opened;
}

SqliteConnection& RegistryDatabase::connection(SqliteConnection::Access access) {
  using Access = SqliteConnection::Access;
  if (connection_ && connection_owner_ != ::getpid()) {
    connection_->abandon();
    connection_.reset();
  }
  if (connection_ && read_only_) connection_.reset();
  if (!connection_) {
    try {
      connection_ = open_read_write();
      read_only_ = false;
    } catch (const std::exception&) {
      if (access == Access::kReadWrite) throw;
      connection_ = open_read_only();
      read_only_ = true;
    }
    connection_owner_ = ::getpid();
  }
  return *connection_;
}

// A store in write-ahead mode opens read-only while its log is there. Without
// the log, and no way to make one, no process can be writing the store: it
// is read as it stands.
std::unique_ptr<SqliteConnection> RegistryDatabase::open_read_only() const {
  using Access = SqliteConnection::Access;
  try {
    auto opened = std::make_unique<SqliteConnection>(file_, vfs_, kBusyTimeoutMs, Access::kReadOnly);
    schema_version(*opened);  // the first read is what opens the log
    return opened;
  } catch (const std::exception&) {
    return std::make_unique<SqliteConnection>(file_, vfs_, kBusyTimeoutMs, Access::kImmutable);
  }
}

LONG RegistryDatabase::open_key(KeyId base, const KeyPath& path, KeyId& found) {
  std::lock_guard lock(mutex_);
  SqliteConnection& database = connection(SqliteConnection::Access::kReadOnly);
  SqliteTransaction transaction(database, SqliteTransaction::Kind::kRead);
  if (!key_exists(database, base)) return ERROR_KEY_DELETED;
  const std::optional<KeyId> key = find_path(database, base, path);
  if (!key) return ERROR_FILE_NOT_FOUND;
  transaction.commit();
  found = *key;
  return ERROR_SUCCESS;
}

LONG RegistryDatabase::create_key(KeyId base, const KeyPath& path, KeyId& created) {
  std::lock_guard lock(mutex_);
  SqliteConnection& database = connection(SqliteConnection::Access::kReadWrite);
  SqliteTransaction transaction(database, SqliteTransaction::Kind::kWrite);
  if (!key_exists(database, base)) return ERROR_KEY_DELETED;
  KeyId key = base;
  for (const std::string& name : path) {
    if (const std::optional<KeyId> child = find_child(database, key, name)) {
      key = *child;
      continue;
    }
    SqliteStatement insert(database, "INSERT INTO keys(parent, name) VALUES(?, ?)");
    insert.bind(1, key).bind(2, name).run();
    key = sqlite3_last_insert_rowid(database.get());
  }
  transaction.commit();
  created = key;
  return ERROR_SUCCESS;
}

LONG RegistryDatabase::delete_key(KeyId base, const KeyPath& path) {
  std::lock_guard lock(mutex_);
  SqliteConnection& database = connection(SqliteConnection::Access::kReadWrite);
  SqliteTransaction transaction(database, SqliteTransaction::Kind::kWrite);
  if (!key_exists(database, base)) return ERROR_KEY_DELETED;
  const std::optional<KeyId> key = find_path(database, base, path);
  if (!key) return ERROR_FILE_NOT_FOUND;
  SqliteStatement children(database, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
  if (children.bind(1, *key).step()) return ERROR_ACCESS_DENIED;
  SqliteStatement erase(database, "DELETE FROM keys WHERE id = ?");
  erase.bind(1, *key).run();
  transaction.commit();
  return ERROR_SUCCESS;
}

LONG RegistryDatabase::read_value(KeyId key, std::string_view name, StoredValue& value) {
  std::lock_guard lock(mutex_);
  SqliteConnection& database = connection(SqliteConnection::Access::kReadOnly);
  SqliteTransaction transaction(database, SqliteTransaction::Kind::kRead);
  SqliteStatement query(database, "SELECT type, data FROM key_values WHERE key = ? AND name = ?");
  query.bind(1, key).bind(2, name);
  if (!query.step()) return key_exists(database, key) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
  value.type = static_cast<DWORD>(query.column_int64(0));
  const std::span<const uint8_t> data = query.column_blob(1);
  value.data.assign(data.begin(), data.end());
  transaction.commit();
  return ERROR_SUCCESS;
}

LONG RegistryDatabase::write_value(KeyId key, std::string_view name, DWORD type, std::span<const uint8_t> data) {
  std::lock_guard lock(mutex_);
  SqliteConnection& database = connection(SqliteConnection::Access::kReadWrite);
  SqliteTransaction transaction(database, SqliteTransaction::Kind::kWrite);
  if (!key_exists(database, key)) return ERROR_KEY_DELETED;
  SqliteStatement upsert(database,
                         "INSERT INTO key_values(key, name, type, data) VALUES(?, ?, ?, ?) "
                         "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
  upsert.bind(1, key).bind(2, name).bind(3, int64_t{type}).bind_blob(4, data).run();
  transaction.commit();
  return ERROR_SUCCESS;
}

LONG RegistryDatabase::delete_value(KeyId key, std::string_view name) {
  std::lock_guard lock(mutex_);
  SqliteConnection& database = connection(SqliteConnection::Access::kReadWrite);
  SqliteTransaction transaction(database, SqliteTransaction::Kind::kWrite);
  if (!key_exists(database, key)) return ERROR_KEY_DELETED;
  SqliteStatement erase(database, "DELETE FROM key_values WHERE key = ? AND name = ?");
  erase.bind(1, key).bind(2, name).run();
  if (sqlite3_changes(database.get()) == 0) return ERROR_FILE_NOT_FOUND;
  transaction.commit();
  return ERROR_SUCCESS;
}

}  // namespace automation::registry_store
