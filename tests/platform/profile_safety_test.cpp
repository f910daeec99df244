#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "automation/profile.hpp"
#include "running_writer.hpp"
#include "temporary_folder.hpp"

namespace automation {
namespace {

using test_support::read_file;
using test_support::TemporaryFolder;

// Runs `work` in a child process; the child ends with _exit, never returning into the test.
template <class Work>
pid_t start_child(Work work) {
  const pid_t child = ::fork();
  if (child == 0) {
    const bool succeeded = work();
    ::_exit(succeeded ? 0 : 1);
  }
  return child;
}

int exit_status(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

std::string key_name(int writer, int number) { return "w" + std::to_string(writer) + "k" + std::to_string(number); }

TEST(ProfileSafety, TwoProcessesWritingOneFileAtOnceLoseNothing) {
  constexpr int kKeysPerWriter = 1000;
  const TemporaryFolder folder;
  const std::string file = folder.file("shared.ini");
  std::vector<pid_t> writers;
  for (int writer = 0; writer < 2; ++writer) {
    writers.push_back(start_child([&, writer] {
      bool all_written = true;
      for (int number = 0; number < kKeysPerWriter; ++number) {
        const std::string key = key_name(writer, number);
        all_written &= WritePrivateProfileStringA("shared", key.c_str(), key.c_str(), file.c_str()) != 0;
      }
      return all_written;
    }));
  }
  for (const pid_t writer : writers) EXPECT_EQ(exit_status(writer), 0);

  for (int writer = 0; writer < 2; ++writer) {
    int found = 0;
    for (int number = 0; number < kKeysPerWriter; ++number) {
      const std::string key = key_name(writer, number);
      char value[64];
      const DWORD count = GetPrivateProfileStringA("shared", key.c_str(), "", value, sizeof value, file.c_str());
      found += std::string(value, count) == key ? 1 : 0;
    }
    EXPECT_EQ(found, kKeysPerWriter) << "writer " << writer;
  }
}

// Every value is long and tells its own number, so a cut file shows.
std::string value_of(int number) {
  return std::to_string(number) + ":" + std::string(4000, static_cast<char>('a' + number % 26));
}

// The file as one writer leaves it after keys 1..n: no file before the first
// key, then one section with the keys in order, each line whole.
bool is_complete_state(const std::string& file, int& keys) {
  keys = 0;
  if (!std::filesystem::exists(file)) return true;
  const std::string content = read_file(file);
  std::string expected = "[big]\r\n";
  for (keys = 0; expected.size() < content.size(); ++keys)
    expected += "k" + std::to_string(keys + 1) + "=" + value_of(keys + 1) + "\r\n";
  return expected == content;
}

// Each round the writer adds keys from where the last one stopped and is
// killed once it has added at least one, a little later every round, so the
// kills fall at different points of a write.
TEST(ProfileSafety, AWriterKilledMidwayLeavesTheOldOrTheNewFile) {
  const TemporaryFolder folder;
  const std::string file = folder.file("killed.ini");
  int last_keys = 0;
  for (int round = 0; round < 12; ++round) {
    test_support::RunningWriter writer([&](int written) {
      const int number = last_keys + 1 + written;
      const std::string key = "k" + std::to_string(number);
      WritePrivateProfileStringA("big", key.c_str(), value_of(number).c_str(), file.c_str());
    });
    ASSERT_TRUE(writer.started());
    int keys = last_keys;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (keys == last_keys) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the writer added no key in round " << round;
      ASSERT_TRUE(is_complete_state(file, keys)) << "round " << round;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(round));
    EXPECT_TRUE(WIFSIGNALED(writer.kill_and_wait()));

    ASSERT_TRUE(is_complete_state(file, keys)) << "round " << round;
    EXPECT_GT(keys, last_keys);
    last_keys = keys;
  }
}

}  // namespace
}  // namespace automation
