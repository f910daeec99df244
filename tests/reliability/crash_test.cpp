// Writers killed with SIGKILL at random moments while they save a text file,
// write an INI file and write registry values, each switching between two
// large contents: afterwards every file holds one of them whole, and the
// registry store passes integrity_check and holds one of the two values.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "automation/registry_store.hpp"
#include "host_calls.hpp"
#include "other_connection.hpp"
#include "running_writer.hpp"
#include "scoped_config_home.hpp"
#include "temporary_folder.hpp"

namespace reliability {
namespace {

using std::chrono::microseconds;
using Clock = std::chrono::steady_clock;

constexpr int kKillsPerWriter = 80;

std::string large(char letter, std::size_t size) { return std::string(1, letter) + std::string(size, letter); }

// How long one write takes, so the kills spread over whole writes.
microseconds duration_of(const std::function<void(int)>& write) {
  const auto started = Clock::now();
  for (int round = 0; round < 4; ++round) write(round);
  return std::chrono::duration_cast<microseconds>(Clock::now() - started) / 4;
}

// Kills a writer kKillsPerWriter times, each after a random part of four
// writes (a forked child on a busy machine writes slower than the warm
// measurement), and asks `state` what it left: one of `whole`, or a complaint.
void kill_writers(const std::function<void(int)>& write, const std::function<std::string()>& state,
                  const std::set<std::string>& whole) {
  std::mt19937 random(20240601);
  const microseconds one_write = std::max(duration_of(write), microseconds(200));
  std::uniform_int_distribution<int64_t> moment(0, 4 * one_write.count());
  std::set<std::string> seen;
  for (int kill = 0; kill < kKillsPerWriter; ++kill) {
    test_support::RunningWriter writer(write);
    ASSERT_TRUE(writer.started());
    std::this_thread::sleep_for(microseconds(moment(random)));
    const int status = writer.kill_and_wait();
    // Any other end (a sanitizer abort, an exit) means the writer failed on its own.
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer ended with status " << status;
    const std::string found = state();
    ASSERT_TRUE(whole.contains(found)) << "kill " << kill << " left " << found.substr(0, 80);
    seen.insert(found);
  }
  // The kills came at different moments: both contents were found.
  EXPECT_EQ(seen.size(), 2u);
}

std::string content_of(const std::filesystem::path& file) { return test_support::read_file(file); }

TEST(KilledWriters, SaveTextLeavesTheOldOrTheNewText) {
  const test_support::TemporaryFolder folder;
  const std::filesystem::path file = folder / "document.txt";
  const std::string first = large('a', 1 << 17);
  const std::string second = large('b', 1 << 17);
  const auto writer = drumel::clsFile::create();
  const auto write = [&](int round) { save_text(*writer, round % 2 == 0 ? second : first, file); };
  ASSERT_TRUE(save_text(*writer, first, file));
  kill_writers(write, [&] { return content_of(file); }, {first, second});
  // What the killed writers left beside the file goes with the next write.
  ASSERT_TRUE(save_text(*writer, first, file));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(KilledWriters, IniWritesLeaveTheOldOrTheNewFile) {
  const test_support::TemporaryFolder folder;
  const std::filesystem::path file = folder / "settings.ini";
  test_support::write_file(file, "[Before]\r\nA=1\r\n[Section]\r\nKey=start\r\n[After]\r\nB=2\r\n");
  const auto ini = std::make_shared<drumel::clsINI>();
  const std::string first = large('a', 50000);
  const std::string second = large('b', 50000);
  add_to_ini(*ini, "Section", "Key", second, file);
  const std::string second_file = content_of(file);
  add_to_ini(*ini, "Section", "Key", first, file);
  const std::string first_file = content_of(file);
  const auto write = [&](int round) { add_to_ini(*ini, "Section", "Key", round % 2 == 0 ? second : first, file); };
  kill_writers(write, [&] { return content_of(file); }, {first_file, second_file});
}

TEST(KilledWriters, RegistryWritesLeaveASoundStoreWithTheOldOrTheNewValue) {
  const automation::testing_support::ScopedConfigHome config_home;
  const auto api = std::make_shared<drumel::clsAPI>();
  const std::string first = large('a', 30000);
  const std::string second = large('b', 30000);
  save_string(*api, "Software\\Crash", "Name", first);
  const auto write = [&](int round) {
    save_string(*api, "Software\\Crash", "Name", round % 2 == 0 ? second : first);
    // Other keys come and go, so the store's pages move too.
    save_string(*api, "Software\\Crash\\Round" + std::to_string(round % 7), "N", std::to_string(round));
    del_setting(*api, "Software\\Crash\\Round" + std::to_string((round + 3) % 7), "N");
  };
  const std::filesystem::path store = automation::registry_store_path();
  kill_writers(write,
               [&] {
                 const std::string integrity = integrity_of(store);
                 return integrity == "ok" ? get_string(*api, "Software\\Crash", "Name") : "integrity: " + integrity;
               },
               {first, second});
}

}  // namespace
}  // namespace reliability
