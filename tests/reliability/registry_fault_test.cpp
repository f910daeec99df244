// The registry store under failing I/O: every call of SQLite's
// operating-system layer, one kind at a time, fails once or from then on,
// while clsAPI and the registry functions write and read. Whatever failed,
// the host gets the value as it was or as it was meant to be (never a third
// state), clsAPI reports nothing, and the store passes integrity_check.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "automation/registry.hpp"
#include "automation/registry_key.hpp"
#include "automation/registry_store.hpp"
#include "failing_sqlite_vfs.hpp"
#include "fault_sweep.hpp"
#include "host_calls.hpp"
#include "other_connection.hpp"
#include "scoped_config_home.hpp"
#include "temporary_folder.hpp"
#include "without_permission_override.hpp"

namespace reliability {
namespace {

using automation::HKEY;
using automation::RegistryKey;
using automation::testing_support::ScopedConfigHome;
using test_support::FailingSqliteVfs;
using Call = FailingSqliteVfs::Call;

constexpr char kPath[] = "Software\\Faults";
constexpr char kFreshPath[] = "Software\\Faults\\Fresh";
// Each kind of call fails at each of its first calls; beyond that the same
// code runs again.
constexpr int kMostFailurePoints = 24;

struct FailureKind {
  Call call;
  int error;
  const char* name;
};

const std::vector<FailureKind> kFailureKinds = {
    {Call::kOpen, SQLITE_CANTOPEN, "open"},
    {Call::kDelete, SQLITE_IOERR_DELETE, "delete"},
    {Call::kAccess, SQLITE_IOERR_ACCESS, "access"},
    {Call::kRead, SQLITE_IOERR_READ, "read"},
    {Call::kWrite, SQLITE_IOERR_WRITE, "write"},
    {Call::kWrite, SQLITE_FULL, "write, disk full"},
    {Call::kTruncate, SQLITE_IOERR_TRUNCATE, "truncate"},
    {Call::kSync, SQLITE_IOERR_FSYNC, "flush"},
    {Call::kFileSize, SQLITE_IOERR_FSTAT, "size"},
    {Call::kLock, SQLITE_IOERR_LOCK, "lock"},
    {Call::kShmMap, SQLITE_IOERR_SHMMAP, "shared memory"},
    {Call::kShmLock, SQLITE_IOERR_SHMLOCK, "shared lock"},
};

std::string read_value(HKEY key, const char* name) {
  automation::DWORD size = 0;
  if (automation::RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != automation::ERROR_SUCCESS)
    return "(no value)";
  std::string room(size, '\0');
  if (automation::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<uint8_t*>(room.data()), &size) !=
      automation::ERROR_SUCCESS)
    return "(unreadable)";
  return room.substr(0, room.find('\0'));
}

automation::LONG write_value(HKEY key, const char* name, const std::string& data) {
  return automation::RegSetValueExA(key, name, 0, automation::REG_SZ, reinterpret_cast<const uint8_t*>(data.data()),
                                    static_cast<automation::DWORD>(data.size()));
}

// What a key holds as the host sees it, read through a healthy store.
std::string observed(const char* path, const char* name) {
  RegistryKey key;
  if (automation::RegOpenKeyA(automation::HKEY_CURRENT_USER, path, key.receive()) != automation::ERROR_SUCCESS)
    return "(no key)";
  return read_value(key.get(), name);
}

// The store of this test opened through the failing VFS, healthy afterwards.
class StoreVfs {
 public:
  StoreVfs() { automation::set_registry_store_vfs(FailingSqliteVfs::kName); }
  ~StoreVfs() {
    FailingSqliteVfs::instance().heal();
    automation::set_registry_store_vfs({});
  }
  StoreVfs(const StoreVfs&) = delete;
  StoreVfs& operator=(const StoreVfs&) = delete;
};

struct StoreOperation {
  const char* name;
  const char* observed_path;
  std::set<std::string> allowed;  // what the host may find afterwards
  // Runs the operation; false when its own result breaks its promise.
  std::function<bool(drumel::clsAPI&)> run;
};

class RegistryFaults : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(automation::RegCreateKeyA(automation::HKEY_CURRENT_USER, kPath, key_.receive()), 0);
    restore();
  }
  void restore() {
    vfs_.heal();
    ASSERT_EQ(write_value(key_.get(), "Name", "old"), 0);
    ASSERT_EQ(write_value(key_.get(), "Other", "other"), 0);
    automation::RegDeleteKeyA(automation::HKEY_CURRENT_USER, kFreshPath);
    ASSERT_TRUE(OtherConnection(automation::registry_store_path()).change_schema());
  }

  ScopedConfigHome config_home_;
  FailingSqliteVfs& vfs_ = FailingSqliteVfs::instance();
  StoreVfs store_vfs_;
  RegistryKey key_;
  std::shared_ptr<drumel::clsAPI> api_ = std::make_shared<drumel::clsAPI>();
};

TEST_F(RegistryFaults, EveryFailingCallLeavesTheOldOrTheNewValueAndASoundStore) {
  const std::vector<StoreOperation> operations = {
      {"SaveString over a value",
       kPath,
       {"old", "new"},
       [](drumel::clsAPI& api) { return save_string(api, kPath, "Name", "new"), true; }},
      // Key and value are two calls: a failure between them leaves the key empty.
      {"SaveString into a new key",
       kFreshPath,
       {"(no key)", "(no value)", "new"},
       [](drumel::clsAPI& api) { return save_string(api, kFreshPath, "Name", "new"), true; }},
      {"DelSetting",
       kPath,
       {"old", "(no value)"},
       [](drumel::clsAPI& api) { return del_setting(api, kPath, "Name"), true; }},
      {"GetString",
       kPath,
       {"old"},
       [](drumel::clsAPI& api) {
         const std::string found = get_string(api, kPath, "Name");
         return found == "old" || found.empty();
       }},
      {"RegSetValueExA",
       kPath,
       {"old", "new"},
       [this](drumel::clsAPI&) {
         // The store's own promise is stronger: success means the new value.
         const bool stored = write_value(key_.get(), "Name", "new") == automation::ERROR_SUCCESS;
         vfs_.heal();
         return stored == (observed(kPath, "Name") == "new");
       }},
  };
  const std::filesystem::path store = automation::registry_store_path();
  int failures_tried = 0;
  for (const StoreOperation& operation : operations) {
    restore();
    vfs_.reset_counts();
    ASSERT_TRUE(operation.run(*api_)) << operation.name;
    failures_tried += test_support::sweep_failure_points(
        test_support::calls_counted(vfs_), kFailureKinds, kMostFailurePoints, true,
        [&](const FailureKind& failure, int nth, bool persistent) {
          restore();
          vfs_.fail(failure.call, nth, failure.error, persistent);
          const bool kept_promise = operation.run(*api_);
          vfs_.heal();
          const std::string where = std::string(operation.name) + ", " + failure.name + " call " + std::to_string(nth) +
                                    (persistent ? " and after" : " only");
          EXPECT_TRUE(kept_promise) << where;
          EXPECT_TRUE(operation.allowed.contains(observed(operation.observed_path, "Name")))
              << where << ": " << observed(operation.observed_path, "Name");
          EXPECT_EQ(observed(kPath, "Other"), "other") << where;
          EXPECT_EQ(integrity_of(store), "ok") << where;
        });
  }
  EXPECT_GT(failures_tried, 100);
}

// The first call of a process opens the store: the file, its log, its
// schema. A failure there leaves no store or a sound one, and the next call
// works.
TEST(RegistryStoreFaults, AFailureWhileAStoreIsOpenedLeavesItUsable) {
  FailingSqliteVfs& vfs = FailingSqliteVfs::instance();
  const StoreVfs store_vfs;
  const auto api = std::make_shared<drumel::clsAPI>();
  std::array<int, FailingSqliteVfs::kCallKinds> healthy_counts{};
  {
    const ScopedConfigHome config_home;
    vfs.reset_counts();
    save_string(*api, kPath, "Name", "new");
    ASSERT_EQ(observed(kPath, "Name"), "new");
    healthy_counts = test_support::calls_counted(vfs);
  }
  const int failures_tried = test_support::sweep_failure_points(
      healthy_counts, kFailureKinds, kMostFailurePoints, false, [&](const FailureKind& failure, int nth, bool) {
        const ScopedConfigHome config_home;
        vfs.fail(failure.call, nth, failure.error, false);
        save_string(*api, kPath, "Name", "new");
        vfs.heal();
        const std::string where = std::string(failure.name) + " call " + std::to_string(nth);
        const std::string found = observed(kPath, "Name");
        EXPECT_TRUE(found == "new" || found == "(no key)" || found == "(no value)") << where << ": " << found;
        EXPECT_EQ(integrity_of(automation::registry_store_path()), "ok") << where;
        save_string(*api, kPath, "Name", "again");
        EXPECT_EQ(observed(kPath, "Name"), "again") << where;
      });
  EXPECT_GT(failures_tried, 50);
}

TEST(RegistryStoreFaults, AStoreThatCannotBeCreatedGivesNeutralResults) {
  const ScopedConfigHome config_home;
  ::chmod(config_home.path().c_str(), 0500);
  const test_support::WithoutPermissionOverride as_ordinary_user;
  const auto api = std::make_shared<drumel::clsAPI>();
  save_string(*api, kPath, "Name", "new");
  del_setting(*api, kPath, "Name");
  EXPECT_EQ(get_string(*api, kPath, "Name"), "");
  EXPECT_FALSE(std::filesystem::exists(automation::registry_store_path()));
}

TEST(RegistryStoreFaults, AStoreFileThatIsNoDatabaseIsLeftAsItIs) {
  const ScopedConfigHome config_home;
  const std::filesystem::path store = automation::registry_store_path();
  std::filesystem::create_directories(store.parent_path());
  const std::string garbage(5000, '\x5a');
  test_support::write_file(store, garbage);
  const auto api = std::make_shared<drumel::clsAPI>();
  save_string(*api, kPath, "Name", "new");
  del_setting(*api, kPath, "Name");
  EXPECT_EQ(get_string(*api, kPath, "Name"), "");
  EXPECT_EQ(test_support::read_file(store), garbage);
}

}  // namespace
}  // namespace reliability
