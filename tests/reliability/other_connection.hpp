// A connection of its own to the registry store's file, as another process
// has: for SQLite's integrity check and for changes the store's own
// connection must notice.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <string>

namespace reliability {

class OtherConnection {
 public:
  explicit OtherConnection(const std::filesystem::path& store) {
    if (sqlite3_open_v2(store.c_str(), &connection_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      sqlite3_close(connection_);
      connection_ = nullptr;
    }
  }
  ~OtherConnection() { sqlite3_close(connection_); }
  OtherConnection(const OtherConnection&) = delete;
  OtherConnection& operator=(const OtherConnection&) = delete;

  // "ok", or what PRAGMA integrity_check or opening found wrong.
  std::string integrity() const {
    if (connection_ == nullptr) return "(cannot open)";
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(connection_, "PRAGMA integrity_check", -1, &check, nullptr);
    std::string verdict = sqlite3_step(check) == SQLITE_ROW
                              ? reinterpret_cast<const char*>(sqlite3_column_text(check, 0))
                              : sqlite3_errmsg(connection_);
    sqlite3_finalize(check);
    return verdict;
  }
  // A change of the schema, undone at once: the store's own connection has
  // to read the schema and its pages again, as after another process wrote.
  bool change_schema() const {
    return connection_ != nullptr &&
           sqlite3_exec(connection_, "CREATE TABLE poke(x); DROP TABLE poke", nullptr, nullptr, nullptr) == SQLITE_OK;
  }

 private:
  sqlite3* connection_ = nullptr;
};

inline std::string integrity_of(const std::filesystem::path& store) { return OtherConnection(store).integrity(); }

}  // namespace reliability
