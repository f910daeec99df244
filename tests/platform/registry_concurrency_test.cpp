#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "automation/registry.hpp"
#include "automation/registry_key.hpp"
#include "automation/registry_store.hpp"
#include "scoped_config_home.hpp"

extern char** environ;

namespace automation {
namespace {

using testing_support::ScopedConfigHome;
using testing_support::ScopedEnvironmentVariable;

std::string read_text(HKEY key, const std::string& name) {
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return "(missing)";
  std::string text(size, '\0');
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<uint8_t*>(text.data()), &size) !=
      ERROR_SUCCESS)
    return "(unreadable)";
  text.resize(size - 1);
  return text;
}

LONG write_text(HKEY key, const std::string& name, const std::string& text) {
  return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<DWORD>(text.size()));
}

pid_t start_writer(const char* prefix, int count) {
  const std::string count_text = std::to_string(count);
  std::vector<char*> arguments{const_cast<char*>(REGISTRY_STORE_WRITER), const_cast<char*>(prefix),
                               const_cast<char*>(count_text.c_str()), nullptr};
  pid_t child = 0;
  EXPECT_EQ(posix_spawn(&child, REGISTRY_STORE_WRITER, nullptr, nullptr, arguments.data(), environ), 0);
  return child;
}

int exit_code_of(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(RegistryConcurrency, TwoProcessesWritingAtOnceLoseNothing) {
  const ScopedConfigHome config_home;
  constexpr int kValuesEach = 150;
  // Both start on a store that does not exist yet, so they also race to create it.
  const pid_t first = start_writer("first", kValuesEach);
  const pid_t second = start_writer("second", kValuesEach);
  EXPECT_EQ(exit_code_of(first), 0);
  EXPECT_EQ(exit_code_of(second), 0);
  RegistryKey key;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Race", key.receive()), ERROR_SUCCESS);
  for (const std::string prefix : {"first", "second"})
    for (int i = 0; i < kValuesEach; ++i) {
      const std::string name = prefix + std::to_string(i);
      ASSERT_EQ(read_text(key.get(), name), name);
    }
}

TEST(RegistryConcurrency, ThreadsShareTheHandleTableSafely) {
  const ScopedConfigHome config_home;
  const std::size_t before = registry_open_key_count();
  constexpr std::size_t kThreads = 6;
  constexpr int kRounds = 40;
  std::vector<std::set<HKEY>> seen(kThreads);
  std::vector<int> failures(kThreads, 0);
  {
    std::vector<std::jthread> threads;
    for (std::size_t t = 0; t < kThreads; ++t)
      threads.emplace_back([&, t] {
        const std::string path = "Software\\Thread" + std::to_string(t);
        for (int round = 0; round < kRounds; ++round) {
          RegistryKey key;
          if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), key.receive()) != ERROR_SUCCESS) ++failures[t];
          seen[t].insert(key.get());
          if (write_text(key.get(), "Round", std::to_string(round)) != ERROR_SUCCESS) ++failures[t];
          if (read_text(key.get(), "Round") != std::to_string(round)) ++failures[t];
        }
      });
  }
  EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
  EXPECT_EQ(registry_open_key_count(), before);
  // Handles are reused only after the counter wraps, so a race in handing
  // them out would show as the same handle twice.
  std::set<HKEY> all;
  for (const auto& handles : seen) all.insert(handles.begin(), handles.end());
  EXPECT_EQ(all.size(), kThreads * kRounds);
  EXPECT_FALSE(all.contains(0));
}

TEST(RegistryConcurrency, AHandleStaysWithTheStoreItWasOpenedIn) {
  const ScopedConfigHome first_home;
  RegistryKey key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Kept", key.receive()), ERROR_SUCCESS);
  const auto first_store = registry_store_path();
  {
    const ScopedConfigHome second_home;
    ASSERT_EQ(write_text(key.get(), "Where", "first"), ERROR_SUCCESS);
    RegistryKey elsewhere;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Kept", elsewhere.receive()), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(std::filesystem::exists(registry_store_path()));
  }
  EXPECT_EQ(registry_store_path(), first_store);
  RegistryKey again;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Kept", again.receive()), ERROR_SUCCESS);
  EXPECT_EQ(read_text(again.get(), "Where"), "first");
}

TEST(RegistryConcurrency, AForkedChildUsesTheStoreThroughItsOwnConnection) {
  const ScopedConfigHome config_home;
  RegistryKey key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Forked", key.receive()), ERROR_SUCCESS);
  ASSERT_EQ(write_text(key.get(), "Parent", "before"), ERROR_SUCCESS);
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    // The inherited handle works, and so does a new one.
    const bool good = read_text(key.get(), "Parent") == "before" && write_text(key.get(), "Child", "wrote") == 0;
    _exit(good ? 0 : 1);
  }
  EXPECT_EQ(exit_code_of(child), 0);
  EXPECT_EQ(read_text(key.get(), "Child"), "wrote");
  ASSERT_EQ(write_text(key.get(), "Parent", "after"), ERROR_SUCCESS);
  EXPECT_EQ(read_text(key.get(), "Parent"), "after");
}

}  // namespace
}  // namespace automation
