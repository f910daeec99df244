// Every method that opens a file or the registry store, called 10 000 times
// while the calls after the opening fail (reads, writes, flushes, renames,
// locks, the store's I/O): afterwards the process holds no more file
// descriptors than before.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "automation/profile.hpp"
#include "automation/registry_store.hpp"
#include "captured_message_boxes.hpp"
#include "failing_sqlite_vfs.hpp"
#include "faulty_file_system.hpp"
#include "host_calls.hpp"
#include "scoped_config_home.hpp"
#include "temporary_folder.hpp"

namespace reliability {
namespace {

using test_support::FailingSqliteVfs;
using test_support::FaultyFileSystem;

constexpr int kCallsPerMethod = 10000;

std::size_t open_descriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

struct Method {
  const char* name;
  std::function<void()> call;
};

// Each call fails at another step after the file is open.
const std::vector<FaultyFileSystem::Call> kFileFailures = {
    FaultyFileSystem::Call::kRead,   FaultyFileSystem::Call::kWrite,   FaultyFileSystem::Call::kFlush,
    FaultyFileSystem::Call::kRename, FaultyFileSystem::Call::kFstat,   FaultyFileSystem::Call::kLock,
    FaultyFileSystem::Call::kChmod,  FaultyFileSystem::Call::kTruncate};

TEST(Descriptors, FailingFileMethodsLeaveNoDescriptorOpen) {
  const test_support::TemporaryFolder folder;
  const test_support::CapturedMessageBoxes boxes;
  test_support::write_file(folder / "text.txt", "some text");
  test_support::write_file(folder / "data.bin", std::string(10000, 'd'));
  test_support::write_file(folder / "s.ini", "[S]\r\nK=12\r\n");
  const std::filesystem::path ini_file = folder / "s.ini";
  const std::string ini_name = ini_file.string();
  const auto file = drumel::clsFile::create();
  const auto ini = std::make_shared<drumel::clsINI>();
  const std::vector<Method> methods = {
      {"CRC32File", [&] { crc32_file(*file, folder / "data.bin", true, true); }},
      {"CRC32FileHex",
       [&] {
         automation::Bstr name = text(folder / "data.bin");
         file->CRC32FileHex(name, automation::kFalse, automation::kTrue);
       }},
      {"LoadText", [&] { load_text(*file, folder / "text.txt"); }},
      {"SaveText", [&] { save_text(*file, "new", folder / "text.txt"); }},
      {"GetKeyVal", [&] { get_key_val(*ini, "S", "K", "d", ini_file); }},
      {"GetIntVal",
       [&] {
         try {
           ini->GetIntVal(text("S"), text("K"), text("0"), text(ini_file));
         } catch (const automation::AutomationError&) {
           // The empty text of a failed read is no number.
         }
       }},
      {"GetDoubleVal", [&] { ini->GetDoubleVal(text("S"), text("K"), text("0"), text(ini_file)); }},
      {"AddToINI", [&] { add_to_ini(*ini, "S", "K", "v", ini_file); }},
      {"DeleteKey", [&] { ini->DeleteKey(text(ini_file), text("S"), text("K")); }},
      {"DeleteKeyValue", [&] { ini->DeleteKeyValue(text(ini_file), text("S"), text("K")); }},
      {"DeleteSection", [&] { ini->DeleteSection(text(ini_file), text("S")); }},
      {"GetPrivateProfileStringA",
       [&] {
         char room[64];
         automation::GetPrivateProfileStringA("S", "K", "", room, sizeof room, ini_name.c_str());
       }},
      {"WritePrivateProfileStringA", [&] { automation::WritePrivateProfileStringA("S", "K", "w", ini_name.c_str()); }},
  };
  FaultyFileSystem file_system;
  for (const Method& method : methods) {
    const std::size_t before = open_descriptors();
    for (int call = 0; call < kCallsPerMethod; ++call) {
      const auto failing = kFileFailures[static_cast<std::size_t>(call) % kFileFailures.size()];
      file_system.fail(failing, 1, failing == FaultyFileSystem::Call::kWrite ? ENOSPC : EIO, true);
      method.call();
    }
    file_system.heal();
    EXPECT_LE(open_descriptors(), before) << method.name;
  }
}

TEST(Descriptors, FailingRegistryMethodsLeaveNoDescriptorOpen) {
  const automation::testing_support::ScopedConfigHome config_home;
  FailingSqliteVfs& vfs = FailingSqliteVfs::instance();
  automation::set_registry_store_vfs(FailingSqliteVfs::kName);
  const auto api = std::make_shared<drumel::clsAPI>();
  // The store keeps its connection (database, log, shared memory) open.
  save_string(*api, "Software\\Fd", "Name", "value");
  const std::vector<Method> methods = {
      {"SaveString", [&] { save_string(*api, "Software\\Fd", "Name", "new"); }},
      {"DelSetting", [&] { del_setting(*api, "Software\\Fd", "Name"); }},
      {"GetString", [&] { get_string(*api, "Software\\Fd", "Name"); }},
      {"RegQueryStringValue", [&] { api->RegQueryStringValue(kCurrentUser, text("Name")); }},
  };
  using Call = FailingSqliteVfs::Call;
  const std::vector<std::pair<Call, int>> failures = {
      {Call::kWrite, SQLITE_FULL},      {Call::kRead, SQLITE_IOERR_READ},       {Call::kSync, SQLITE_IOERR_FSYNC},
      {Call::kLock, SQLITE_IOERR_LOCK}, {Call::kShmLock, SQLITE_IOERR_SHMLOCK}, {Call::kOpen, SQLITE_CANTOPEN}};
  for (const Method& method : methods) {
    const std::size_t before = open_descriptors();
    for (int call = 0; call < kCallsPerMethod; ++call) {
      const auto& [kind, error] = failures[static_cast<std::size_t>(call) % failures.size()];
      vfs.fail(kind, 1, error, true);
      method.call();
    }
    vfs.heal();
    EXPECT_LE(open_descriptors(), before) << method.name;
  }
  save_string(*api, "Software\\Fd", "Name", "after");
  EXPECT_EQ(get_string(*api, "Software\\Fd", "Name"), "after");
  automation::set_registry_store_vfs({});
}

TEST(Descriptors, AStoreThatCannotBeOpenedLeavesNoDescriptorOpen) {
  const automation::testing_support::ScopedConfigHome config_home;
  // A folder where the store file should be: SQLite cannot open it.
  std::filesystem::create_directories(automation::registry_store_path());
  const auto api = std::make_shared<drumel::clsAPI>();
  const std::size_t before = open_descriptors();
  for (int call = 0; call < kCallsPerMethod; ++call) {
    save_string(*api, "Software\\Fd", "Name", "new");
    EXPECT_EQ(get_string(*api, "Software\\Fd", "Name"), "");
  }
  EXPECT_LE(open_descriptors(), before);
}

}  // namespace
}  // namespace reliability
