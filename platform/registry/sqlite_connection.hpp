// Owning wrappers for an SQLite connection, its prepared statements and its
// transactions, so every path of the registry store releases what it took.
// Failures raise the path/file access error with SQLite's own message.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace automation::registry_store {

class SqliteConnection {
 public:
  enum class Access {
    kReadWrite,
    kReadOnly,
    // Read-only, and trusted not to change while open: no locks, no side files.
    kImmutable,
  };

  // Opens the file through the named VFS (empty: SQLite's default), creating
  // it when missing and writable; waits up to busy_timeout_ms for another
  // process's lock before giving up.
  SqliteConnection(const std::filesystem::path& file, const std::string& vfs, int busy_timeout_ms,
                   Access access = Access::kReadWrite);
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  sqlite3* get() const noexcept { return connection_; }
  // Runs statements that return no rows the caller needs.
  void execute(const char* sql);
  // False when another connection holds the lock the statements need.
  bool execute_unless_busy(const char* sql);
  // Drops the connection without closing it. A forked child must neither use
  // nor close a connection its parent opened: closing would release or
  // checkpoint state the parent still relies on.
  void abandon() noexcept;

 private:
  sqlite3* connection_ = nullptr;
};

class SqliteStatement {
 public:
  SqliteStatement(const SqliteConnection& connection, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameters are numbered from 1, as in SQL.
  SqliteStatement& bind(int index, int64_t value);
  SqliteStatement& bind(int index, std::string_view text);
  SqliteStatement& bind_blob(int index, std::span<const uint8_t> bytes);
  // True when a row is ready; false when the statement has finished.
  bool step();
  void run() { step(); }

  int64_t column_int64(int column) const;
  // Valid until the next step.
  std::span<const uint8_t> column_blob(int column) const;

 private:
  sqlite3* connection_;
  sqlite3_stmt* statement_ = nullptr;
};

// Rolls back unless committed. A write transaction takes the write lock at
// its start, so two writers queue on the busy timeout instead of one failing
// when it upgrades a read lock.
class SqliteTransaction {
 public:
  enum class Kind { kRead, kWrite };
  SqliteTransaction(SqliteConnection& connection, Kind kind);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;

  void commit();

 private:
  SqliteConnection& connection_;
  bool open_ = true;
};

}  // namespace automation::registry_store
