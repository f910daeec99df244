// A VFS over SQLite's default one that fails on purpose, for the fault tests
// of the registry store. It registers under its own name (the store takes it
// through automation::set_registry_store_vfs), counts every call by kind and
// makes the n-th call of one kind, and with `persistent` every later one
// too, return the error chosen: the way SQLite's own test suite breaks its
// operating-system layer. It lives as long as the process, since a store
// opened through it may close only after the test that used it.
#pragma once

#include <sqlite3.h>

#include <array>
#include <atomic>
#include <cstddef>

namespace test_support {

class FailingSqliteVfs {
 public:
  enum class Call { kOpen, kDelete, kAccess, kRead, kWrite, kTruncate, kSync, kFileSize, kLock, kShmMap, kShmLock };
  static constexpr std::size_t kCallKinds = 11;
  static constexpr const char* kName = "failing";

  // Registered (not as the default) on first use, healthy.
  static FailingSqliteVfs& instance();
  FailingSqliteVfs(const FailingSqliteVfs&) = delete;
  FailingSqliteVfs& operator=(const FailingSqliteVfs&) = delete;

  // Counting starts again; nth = 1 is the next call of that kind.
  void fail(Call call, int nth, int error, bool persistent);
  void heal();
  int count(Call call) const { return counts_[static_cast<std::size_t>(call)]; }
  void reset_counts();

  // The error of a call of this kind, or SQLITE_OK; counts the call.
  int next(Call call);

 private:
  FailingSqliteVfs();

  sqlite3_vfs vfs_{};
  std::array<std::atomic<int>, kCallKinds> counts_{};
  std::atomic<int> failing_kind_{-1};
  std::atomic<int> failing_from_{0};
  std::atomic<int> error_{SQLITE_OK};
  std::atomic<bool> persistent_{false};
};

}  // namespace test_support
