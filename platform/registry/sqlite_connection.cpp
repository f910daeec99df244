#include "sqlite_connection.hpp"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "automation/error.hpp"

namespace automation::registry_store {
namespace {

constexpr int32_t kErrPathFileAccess = 75;  // the automation "Path/File access error"

std::string failure_text(sqlite3* connection, std::string_view what) {
  std::string description = "registry store: ";
  description += what;
  description += ": ";
  description += connection != nullptr ? sqlite3_errmsg(connection) : "out of memory";
  return description;
}

[[noreturn]] void raise_store_failure(sqlite3* connection, std::string_view what) {
  raise_error(kErrPathFileAccess, failure_text(connection, what));
}

// The characters a URI gives a meaning are escaped; the rest of a path stays.
std::string immutable_uri(const std::filesystem::path& file) {
  std::string uri = "file:";
  for (const char c : file.string()) {
    if (c == '%' || c == '?' || c == '#') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      uri += escaped;
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

}  // namespace

SqliteConnection::SqliteConnection(const std::filesystem::path& file, const std::string& vfs, int busy_timeout_ms,
                                   Access access) {
  int flags = SQLITE_OPEN_NOMUTEX;
  std::string name = file.string();
  switch (access) {
    case Access::kReadWrite:
      flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
      break;
    case Access::kReadOnly:
      flags |= SQLITE_OPEN_READONLY;
      break;
    case Access::kImmutable:
      flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
      name = immutable_uri(file);
      break;
  }
  if (sqlite3_open_v2(name.c_str(), &connection_, flags, vfs.empty() ? nullptr : vfs.c_str()) != SQLITE_OK) {
    // SQLite hands out a connection even when opening fails, for its message.
    std::string description = failure_text(connection_, "cannot open " + file.string());
    sqlite3_close(connection_);
    connection_ = nullptr;
    raise_error(kErrPathFileAccess, std::move(description));
  }
  sqlite3_extended_result_codes(connection_, 1);
  sqlite3_busy_timeout(connection_, busy_timeout_ms);
}

SqliteConnection::~SqliteConnection() {
  if (connection_ != nullptr) sqlite3_close(connection_);
}

void SqliteConnection::abandon() noexcept {
  // Kept for the life of the process rather than lost: the memory is the
  // parent's connection, which this process holds on purpose, and a leak
  // check of the child should say so.
  static auto* const abandoned = new (std::nothrow) std::vector<sqlite3*>();
  try {
    if (abandoned != nullptr) abandoned->push_back(connection_);
  } catch (const std::bad_alloc&) {
    // Then it is merely lost; the process is no worse off.
  }
  connection_ = nullptr;
}

void SqliteConnection::execute(const char* sql) {
  if (sqlite3_exec(connection_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) raise_store_failure(connection_, sql);
}

bool SqliteConnection::execute_unless_busy(const char* sql) {
  const int result = sqlite3_exec(connection_, sql, nullptr, nullptr, nullptr);
  if ((result & 0xFF) == SQLITE_BUSY) return false;
  if (result != SQLITE_OK) raise_store_failure(connection_, sql);
  return true;
}

SqliteStatement::SqliteStatement(const SqliteConnection& connection, std::string_view sql)
    : connection_(connection.get()) {
  if (sqlite3_prepare_v2(connection_, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK)
    raise_store_failure(connection_, sql);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

SqliteStatement& SqliteStatement::bind(int index, int64_t value) {
  if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK) raise_store_failure(connection_, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
  // A null pointer would bind SQL NULL; an empty name is a real name.
  const char* characters = text.data() != nullptr ? text.data() : "";
  if (sqlite3_bind_text(statement_, index, characters, static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
    raise_store_failure(connection_, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::bind_blob(int index, std::span<const uint8_t> bytes) {
  const int result = bytes.empty()
                         ? sqlite3_bind_zeroblob(statement_, index, 0)
                         : sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
  if (result != SQLITE_OK) raise_store_failure(connection_, "bind");
  return *this;
}

bool SqliteStatement::step() {
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  raise_store_failure(connection_, sqlite3_sql(statement_));
}

int64_t SqliteStatement::column_int64(int column) const { return sqlite3_column_int64(statement_, column); }

std::span<const uint8_t> SqliteStatement::column_blob(int column) const {
  const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
  const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
  if (bytes == nullptr) return {};
  return {bytes, size};
}

SqliteTransaction::SqliteTransaction(SqliteConnection& connection, Kind kind) : connection_(connection) {
  connection_.execute(kind == Kind::kWrite ? "BEGIN IMMEDIATE" : "BEGIN");
}

SqliteTransaction::~SqliteTransaction() {
  if (open_) sqlite3_exec(connection_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit() {
  connection_.execute("COMMIT");
  open_ = false;
}

}  // namespace automation::registry_store
