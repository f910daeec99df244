#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "automation/class_registry.hpp"
#include "automation/library_loader.hpp"
#include "automation/registry.hpp"
#include "automation/registry_key.hpp"
#include "automation/registry_store.hpp"
#include "automation/server_registration.hpp"
#include "automation/error.hpp"
#include "scoped_config_home.hpp"

namespace automation {
namespace {

constexpr const char* kProbeClsid = "{0C7E55A1-5D1B-4C44-9A57-6B1E0D2F3A41}";
constexpr const char* kProbeLibid = "{0C7E55A0-5D1B-4C44-9A57-6B1E0D2F3A41}";

// The default value of a key below HKEY_CLASSES_ROOT; nullopt when the key is missing.
std::optional<std::string> class_key_text(const std::string& path) {
  RegistryKey key;
  if (RegOpenKeyA(HKEY_CLASSES_ROOT, path.c_str(), key.receive()) != ERROR_SUCCESS) return std::nullopt;
  char text[512] = {};
  DWORD size = sizeof text - 1;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<uint8_t*>(text), &size) != ERROR_SUCCESS)
    return std::string("<no default value>");
  return std::string(text);
}

std::string probe_file() { return runtime_directory() + "/libDispatchProbe.so"; }

// Nothing of the probe is loaded before a test runs: creation tests check
// what a fresh process loads, and death tests re-run the body in a new process.
class Registration : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  void TearDown() override {
    if (handle_ != nullptr) dlclose(handle_);
  }
  int32_t call(const char* entry_point) {
    if (handle_ == nullptr) handle_ = dlopen(probe_file().c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry = handle_ != nullptr ? reinterpret_cast<int32_t (*)()>(dlsym(handle_, entry_point)) : nullptr;
    return entry != nullptr ? entry() : -1;
  }

  testing_support::ScopedConfigHome config_home_;
  void* handle_ = nullptr;
};

TEST_F(Registration, RegisterAndUnregisterRoundTrip) {
  ASSERT_FALSE(std::filesystem::exists(registry_store_path()));
  ASSERT_EQ(call("DllRegisterServer"), 0);
  const std::string class_key = std::string("CLSID\\") + kProbeClsid;
  const std::pair<std::string, std::string> expected[] = {
      {"DispatchProbe.clsProbe\\CLSID", kProbeClsid},
      {"DispatchProbe.clsPlain\\CLSID", "{0C7E55A4-5D1B-4C44-9A57-6B1E0D2F3A41}"},
      {class_key + "\\ProgID", "DispatchProbe.clsProbe"},
      {class_key + "\\InprocServer32", std::filesystem::canonical(probe_file()).string()},
      {class_key + "\\TypeLib", kProbeLibid},
      {class_key + "\\Version", "1.0"},
      {std::string("TypeLib\\") + kProbeLibid + "\\1.0", "DispatchProbe"},
  };
  for (const auto& [key, text] : expected) EXPECT_EQ(class_key_text(key), text) << key;
  EXPECT_EQ(std::filesystem::canonical(registered_server_path("dispatchprobe.clsprobe")),
            std::filesystem::canonical(probe_file()));
  EXPECT_EQ(registered_server_path(kProbeClsid), registered_server_path("DispatchProbe.clsProbe"));

  ASSERT_EQ(call("DllUnregisterServer"), 0);
  for (const auto& [key, text] : expected) EXPECT_EQ(class_key_text(key), std::nullopt) << key;
  EXPECT_EQ(class_key_text("DispatchProbe.clsProbe"), std::nullopt);
  EXPECT_EQ(class_key_text(std::string("TypeLib\\") + kProbeLibid), std::nullopt);
  EXPECT_EQ(registered_server_path(kProbeClsid), "");
  EXPECT_EQ(call("DllUnregisterServer"), 0) << "unregistering twice is no failure";
  EXPECT_EQ(registry_open_key_count(), 0u);
}

TEST_F(Registration, LookupCreatesNoStore) {
  EXPECT_EQ(registered_server_path("DispatchProbe.clsProbe"), "");
  EXPECT_FALSE(std::filesystem::exists(registry_store_path()));
}

constexpr const char* kRegisteredProgId = "RegisteredProbe.clsRegistered";
constexpr const char* kRegisteredClsid = "{0C7E55B1-5D1B-4C44-9A57-6B1E0D2F3A41}";

// What an installer writes for a class, without loading its library.
void register_by_hand(const std::string& prog_id, const std::string& clsid, const std::string& library_file) {
  for (const auto& [path, text] : {std::pair<std::string, std::string>{prog_id + "\\CLSID", clsid},
                                   {"CLSID\\" + clsid + "\\InprocServer32", library_file}}) {
    RegistryKey key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), key.receive()), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.c_str()),
                             static_cast<DWORD>(text.size())),
              ERROR_SUCCESS);
  }
}

void register_by_hand(const std::string& library_file) {
  register_by_hand("DispatchProbe.clsProbe", kProbeClsid, library_file);
}

// In a fresh process: 0 when creating `name` loads `expected`, 1 when it
// loads another file, 2 when it fails; the failure's text on standard error.
[[noreturn]] void exit_with_loaded_file(const char* name, const std::string& expected) {
  try {
    const ObjectRef created = create_object(name);
    std::exit(library_path_of(&created->class_info()) == expected ? 0 : 1);
  } catch (const AutomationError& error) {
    std::fprintf(stderr, "%d %s\n", error.number(), error.description().c_str());
    std::exit(2);
  }
}

// A class that no library beside the runtime provides is found through its
// registration, by either identifier.
TEST_F(Registration, CreationUsesTheRegistrationOfAClassNotInstalledBesideTheRuntime) {
  register_by_hand(kRegisteredProgId, kRegisteredClsid, REGISTERED_PROBE);
  for (const char* name : {kRegisteredProgId, kRegisteredClsid})
    EXPECT_EXIT(exit_with_loaded_file(name, REGISTERED_PROBE), testing::ExitedWithCode(0), "") << name;
}

// Whatever the registry says, the installed library provides its classes.
TEST_F(Registration, InstalledClassesWinOverRegistrations) {
  testing_support::TemporaryFolder folder;
  const std::filesystem::path copy = folder.path() / "probe-copy.so";
  std::filesystem::copy_file(probe_file(), copy);
  register_by_hand(copy.string());
  const std::string installed = std::filesystem::canonical(probe_file()).string();
  for (const char* name : {"DispatchProbe.clsProbe", kProbeClsid})
    EXPECT_EXIT(exit_with_loaded_file(name, installed), testing::ExitedWithCode(0), "") << name;
}

// A registration that anyone but its owner could have changed is never
// loaded: creation fails with 429 naming the path.
TEST_F(Registration, RegistrationsOthersCouldChangeAreRefused) {
  struct Case {
    const char* name;
    const char* file;  // in a folder of the test's own
    std::filesystem::perms file_mode;
    std::filesystem::perms folder_mode;
    const char* reason;
    bool relative = false;
  };
  using std::filesystem::perms;
  const perms usual = perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec;
  const std::vector<Case> cases = {
      {"a file others may write", "x/lib.so", usual | perms::others_write, usual, "can be changed by other users"},
      {"a file its group may write", "x/lib.so", usual | perms::group_write, usual, "can be changed by other users"},
      {"a folder others may write", "x/lib.so", usual, perms::all, "is in a folder other users can change"},
      {"a relative path", "x/lib.so", usual, usual, "is no absolute path", true},
      {"a folder", "x", usual, usual, "is no regular file"},
  };
  for (const Case& c : cases) {
    testing_support::TemporaryFolder folder;
    std::filesystem::create_directory(folder.path() / "x");
    const std::filesystem::path library = folder.path() / "x" / "lib.so";
    std::filesystem::copy_file(REGISTERED_PROBE, library);
    std::filesystem::permissions(library, c.file_mode);
    std::filesystem::permissions(folder.path() / "x", c.folder_mode);
    const test_support::CurrentDirectory inside(folder.path());
    const std::string registered = c.relative ? std::string(c.file) : (folder.path() / c.file).string();
    register_by_hand(kRegisteredProgId, kRegisteredClsid, registered);
    // The folder's name differs in the process that runs the statement.
    EXPECT_EXIT(exit_with_loaded_file(kRegisteredProgId, library.string()), testing::ExitedWithCode(2),
                std::string("429 .*'(/.*/)?") + c.file + "' " + c.reason)
        << c.name;
  }
}

TEST_F(Registration, StaleRegistrationFallsBackToTheLibraryName) {
  register_by_hand("/nonexistent/libDispatchProbe.so");
  EXPECT_EXIT(
      {
        const ObjectRef probe = create_object("DispatchProbe.clsProbe");
        std::exit(library_path_of(&probe->class_info()) == std::filesystem::canonical(probe_file()).string() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace automation
