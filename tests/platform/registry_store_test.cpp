#include <sys/stat.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "automation/registry.hpp"
#include "automation/registry_key.hpp"
#include "automation/registry_store.hpp"
#include "scoped_config_home.hpp"
#include "without_permission_override.hpp"

namespace automation {
namespace {

using testing_support::ScopedConfigHome;
using testing_support::ScopedEnvironmentVariable;
using testing_support::TemporaryFolder;
using Bytes = std::vector<uint8_t>;

Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

LONG set_value(HKEY key, const char* name, DWORD type, const Bytes& data) {
  return RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

// The value as a reader with an exact room sees it.
Bytes read_value(HKEY key, const char* name, DWORD* type = nullptr) {
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, name, nullptr, type, nullptr, &size), ERROR_SUCCESS);
  Bytes data(size);
  EXPECT_EQ(RegQueryValueExA(key, name, nullptr, type, data.data(), &size), ERROR_SUCCESS);
  EXPECT_EQ(size, data.size());
  return data;
}

class RegistryStore : public testing::Test {
 protected:
  RegistryKey create(HKEY base, const char* path) {
    RegistryKey key;
    EXPECT_EQ(RegCreateKeyA(base, path, key.receive()), ERROR_SUCCESS) << path;
    return key;
  }
  ScopedConfigHome config_home_;
};

TEST_F(RegistryStore, FileIsCreatedOnFirstUseInAPrivateFolder) {
  const auto expected = config_home_.path() / "krelvo-drumel" / "registry.db";
  EXPECT_EQ(registry_store_path(), expected);
  EXPECT_FALSE(std::filesystem::exists(expected));
  create(HKEY_CURRENT_USER, "Software");
  EXPECT_TRUE(std::filesystem::exists(expected));
  struct stat folder {};
  ASSERT_EQ(::stat(expected.parent_path().c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

TEST_F(RegistryStore, LocationFallsBackToHomeWhenTheVariableIsUnusable) {
  const TemporaryFolder home;
  const ScopedEnvironmentVariable home_variable("HOME", home.path().string());
  const auto fallback = home.path() / ".config" / "krelvo-drumel" / "registry.db";
  for (const std::optional<std::string>& value :
       {std::optional<std::string>(), std::optional<std::string>(""), std::optional<std::string>("relative/folder")}) {
    const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", value);
    EXPECT_EQ(registry_store_path(), fallback) << value.value_or("(unset)");
  }
}

TEST_F(RegistryStore, CreateMakesEveryMissingKeyAndOpenFindsEachOfThem) {
  create(HKEY_CURRENT_USER, "Software\\Drumel\\Settings");
  for (const char* path : {"Software", "Software\\Drumel", "Software\\Drumel\\Settings", "software\\DRUMEL\\settings",
                           "Software\\Drumel\\Settings\\", ""}) {
    RegistryKey key;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, path, key.receive()), ERROR_SUCCESS) << path;
    EXPECT_NE(key.get(), 0u) << path;
  }
  // Roots are separate trees.
  for (const auto& [root, path] :
       {std::pair{HKEY_CURRENT_USER, "Software\\Other"}, std::pair{HKEY_LOCAL_MACHINE, "Software\\Drumel"},
        std::pair{HKEY_CURRENT_USER, "Software\\Drumel\\Settings\\Deeper"}}) {
    HKEY key = 12345;
    EXPECT_EQ(RegOpenKeyA(root, path, &key), ERROR_FILE_NOT_FOUND) << path;
    EXPECT_EQ(key, 0u) << path;
  }
}

TEST_F(RegistryStore, ValuesKeepTheirTypeAndBytesAndNamesIgnoreCase) {
  const RegistryKey key = create(HKEY_CURRENT_USER, "Software\\Values");
  const std::vector<std::tuple<const char*, DWORD, Bytes>> cases = {
      {"Text", REG_SZ, bytes_of(std::string_view("abc\0", 4))},
      {"Pair", REG_BINARY, {0x34, 0x12}},
      {"Empty", REG_BINARY, {}},
      {"Number", REG_DWORD, {1, 0, 0, 0}},
      {"", REG_SZ, bytes_of(std::string_view("default\0", 8))},
  };
  for (const auto& [name, type, data] : cases) ASSERT_EQ(set_value(key.get(), name, type, data), ERROR_SUCCESS);
  for (const auto& [name, type, data] : cases) {
    DWORD stored_type = REG_NONE;
    DWORD size = 999;
    EXPECT_EQ(RegQueryValueExA(key.get(), name, nullptr, &stored_type, nullptr, &size), ERROR_SUCCESS) << name;
    EXPECT_EQ(stored_type, type) << name;
    EXPECT_EQ(size, data.size()) << name;
    EXPECT_EQ(read_value(key.get(), name), data) << name;
  }
  EXPECT_EQ(read_value(key.get(), nullptr), std::get<2>(cases.back())) << "a null name is the default value";
  EXPECT_EQ(read_value(key.get(), "PAIR"), (Bytes{0x34, 0x12}));
  ASSERT_EQ(set_value(key.get(), "pair", REG_DWORD, {7, 0, 0, 0}), ERROR_SUCCESS);
  DWORD type = REG_NONE;
  EXPECT_EQ(read_value(key.get(), "Pair", &type), (Bytes{7, 0, 0, 0}));
  EXPECT_EQ(type, REG_DWORD);
}

TEST_F(RegistryStore, RoomTooSmallGivesMoreDataWithTheSizeAndWritesNothing) {
  const RegistryKey key = create(HKEY_CURRENT_USER, "Software\\Values");
  ASSERT_EQ(set_value(key.get(), "Long", REG_BINARY, {1, 2, 3, 4, 5}), ERROR_SUCCESS);
  std::array<uint8_t, 4> room{0xEE, 0xEE, 0xEE, 0xEE};
  DWORD size = static_cast<DWORD>(room.size());
  DWORD type = REG_NONE;
  EXPECT_EQ(RegQueryValueExA(key.get(), "Long", nullptr, &type, room.data(), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(room, (std::array<uint8_t, 4>{0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST_F(RegistryStore, TextStoredWithoutItsNulIsReportedWithOne) {
  const RegistryKey key = create(HKEY_CURRENT_USER, "Software\\Values");
  const std::vector<std::tuple<const char*, DWORD, Bytes, Bytes>> cases = {
      {"Bare", REG_SZ, bytes_of("abc"), bytes_of(std::string_view("abc\0", 4))},
      {"Ended", REG_SZ, bytes_of(std::string_view("abc\0", 4)), bytes_of(std::string_view("abc\0", 4))},
      {"Nothing", REG_SZ, {}, {0}},
      {"Expand", REG_EXPAND_SZ, bytes_of("%HOME%"), bytes_of(std::string_view("%HOME%\0", 7))},
      {"Binary", REG_BINARY, bytes_of("abc"), bytes_of("abc")},
  };
  for (const auto& [name, type, written, reported] : cases) {
    ASSERT_EQ(set_value(key.get(), name, type, written), ERROR_SUCCESS);
    EXPECT_EQ(read_value(key.get(), name), reported) << name;
  }
  std::array<uint8_t, 3> room{};
  DWORD size = 3;
  EXPECT_EQ(RegQueryValueExA(key.get(), "Bare", nullptr, nullptr, room.data(), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
}

TEST_F(RegistryStore, DeletingAValueAndAKey) {
  const RegistryKey key = create(HKEY_CURRENT_USER, "Software\\Doomed");
  create(HKEY_CURRENT_USER, "Software\\Doomed\\Child");
  ASSERT_EQ(set_value(key.get(), "Value", REG_SZ, bytes_of("x")), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key.get(), "value"), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key.get(), "Value", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueA(key.get(), "Value"), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(set_value(key.get(), "Value", REG_SZ, bytes_of("x")), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_ACCESS_DENIED) << "it has a subkey";
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Doomed\\Child"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_FILE_NOT_FOUND);
  for (const char* own_key : {"", static_cast<const char*>(nullptr)})
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, own_key), ERROR_INVALID_PARAMETER);

  // The handle still open on the deleted key reports so and creates nothing.
  EXPECT_EQ(RegQueryValueExA(key.get(), "Value", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(set_value(key.get(), "Value", REG_SZ, bytes_of("x")), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteValueA(key.get(), "Value"), ERROR_KEY_DELETED);
  HKEY child = 0;
  EXPECT_EQ(RegCreateKeyA(key.get(), "Again", &child), ERROR_KEY_DELETED);
  EXPECT_EQ(child, 0u);

  // Its values went with it.
  const RegistryKey again = create(HKEY_CURRENT_USER, "Software\\Doomed");
  EXPECT_EQ(RegQueryValueExA(again.get(), "Value", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStore, ZeroUnknownAndClosedHandlesFailCleanly) {
  HKEY closed = 0;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software", &closed), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  const Bytes data = bytes_of("x");
  for (const HKEY handle : {HKEY{0}, HKEY{12345}, HKEY{0x80000004u}, HKEY{0xFFFFFFFFu}, closed}) {
    HKEY out = 77;
    EXPECT_EQ(RegOpenKeyA(handle, "Software", &out), ERROR_INVALID_HANDLE) << handle;
    EXPECT_EQ(out, 0u);
    out = 77;
    EXPECT_EQ(RegCreateKeyA(handle, "Software", &out), ERROR_INVALID_HANDLE) << handle;
    EXPECT_EQ(out, 0u);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(handle, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE) << handle;
    EXPECT_EQ(set_value(handle, "x", REG_SZ, data), ERROR_INVALID_HANDLE) << handle;
    EXPECT_EQ(RegDeleteValueA(handle, "x"), ERROR_INVALID_HANDLE) << handle;
    EXPECT_EQ(RegDeleteKeyA(handle, "x"), ERROR_INVALID_HANDLE) << handle;
    EXPECT_EQ(RegCloseKey(handle), ERROR_INVALID_HANDLE) << handle;
  }
  for (const HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG})
    EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS) << "closing a root is a harmless no-op";
}

TEST_F(RegistryStore, MalformedArgumentsAreInvalidParameters) {
  const RegistryKey key = create(HKEY_CURRENT_USER, "Software");
  for (const char* path : {"\\Software", "Software\\\\Drumel", "\\"}) {
    HKEY out = 77;
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path, &out), ERROR_INVALID_PARAMETER) << path;
    EXPECT_EQ(out, 0u) << path;
  }
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software", nullptr), ERROR_INVALID_PARAMETER);
  DWORD reserved = 0;
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key.get(), "x", &reserved, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
  uint8_t room[4];
  EXPECT_EQ(RegQueryValueExA(key.get(), "x", nullptr, nullptr, room, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExA(key.get(), "x", 0, REG_SZ, nullptr, 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExA(key.get(), "x", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS) << "an empty value";
}

TEST_F(RegistryStore, AnEmptyPathGivesAHandleOfItsOwn) {
  const std::size_t before = registry_open_key_count();
  const RegistryKey key = create(HKEY_CURRENT_USER, "Software");
  HKEY same = 0;
  ASSERT_EQ(RegOpenKeyA(key.get(), nullptr, &same), ERROR_SUCCESS);
  EXPECT_NE(same, key.get());
  EXPECT_EQ(registry_open_key_count(), before + 2);
  EXPECT_EQ(RegCloseKey(same), ERROR_SUCCESS);
  EXPECT_EQ(set_value(key.get(), "Still", REG_SZ, bytes_of("open")), ERROR_SUCCESS);
  EXPECT_EQ(registry_open_key_count(), before + 1);
}

TEST_F(RegistryStore, NamesAreKeptAsUnicodeInTheFile) {
  // "Čaša" in the default ANSI code page (Windows-1250).
  const RegistryKey key = create(HKEY_CURRENT_USER,
                                 "Software\\\xC8"
                                 "a\x9A"
                                 "a");
  ASSERT_EQ(set_value(key.get(),
                      "\x9E"
                      "uto",
                      REG_SZ, bytes_of("\xE8")),
            ERROR_SUCCESS);
  EXPECT_EQ(read_value(key.get(),
                       "\x9E"
                       "uto"),
            bytes_of(std::string_view("\xE8\0", 2)));

  sqlite3* database = nullptr;
  ASSERT_EQ(sqlite3_open_v2(registry_store_path().c_str(), &database, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::vector<std::string> names;
  sqlite3_exec(
      database, "SELECT name FROM keys WHERE parent IS NOT NULL UNION ALL SELECT name FROM key_values",
      [](void* found, int, char** columns, char**) {
        static_cast<std::vector<std::string>*>(found)->push_back(columns[0]);
        return 0;
      },
      &names, nullptr);
  sqlite3_close(database);
  EXPECT_EQ(names, (std::vector<std::string>{"Software", "\u010Ca\u0161a", "\u017Euto"}));
}

TEST_F(RegistryStore, AStoreThatCannotBeCreatedIsAnIoFailure) {
  const auto blocker = config_home_.path() / "file";
  std::ofstream(blocker) << "not a folder";
  const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", blocker.string());
  HKEY key = 77;
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software", &key), ERROR_REGISTRY_IO_FAILED);
  EXPECT_EQ(key, 0u);
}

// A locked-down profile: the store's folder read-only, so SQLite can make none
// of its side files. The settings in it stay readable; only writes fail.
TEST_F(RegistryStore, AReadOnlyStoreFolderStillGivesItsValues) {
  {
    const RegistryKey kept = create(HKEY_CURRENT_USER, "Software\\Kept");
    ASSERT_EQ(set_value(kept.get(), "name", REG_SZ, bytes_of(std::string_view("value", 6))), ERROR_SUCCESS);
  }
  const std::filesystem::path folder = registry_store_path().parent_path();
  {
    // Another store in use closes this one, as a new process finds it.
    const TemporaryFolder other;
    const ScopedEnvironmentVariable elsewhere("XDG_CONFIG_HOME", other.path().string());
    create(HKEY_CURRENT_USER, "Software");
  }
  ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);
  {
    const test_support::WithoutPermissionOverride as_ordinary_user;
    RegistryKey key;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Kept", key.receive()), ERROR_SUCCESS);
    EXPECT_EQ(read_value(key.get(), "name"), bytes_of(std::string_view("value", 6)));
    EXPECT_EQ(set_value(key.get(), "name", REG_SZ, bytes_of(std::string_view("new", 4))), ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(read_value(key.get(), "name"), bytes_of(std::string_view("value", 6)));
  }
  ::chmod(folder.c_str(), 0700);
  // Writable again: writes work in the same process.
  const RegistryKey kept = create(HKEY_CURRENT_USER, "Software\\Kept");
  EXPECT_EQ(set_value(kept.get(), "name", REG_SZ, bytes_of(std::string_view("new", 4))), ERROR_SUCCESS);
  EXPECT_EQ(read_value(kept.get(), "name"), bytes_of(std::string_view("new", 4)));
}

}  // namespace
}  // namespace automation
