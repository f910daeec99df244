// Host threads, each with objects of its own, use all five classes at once:
// the optimizer, clsFile, clsINI, clsEncript and clsAPI. Every thread gets
// what one thread alone gets. The process-wide settings (message box, yield,
// folder picker, code page, registry store) are made before the threads
// start, as a host must. Built and run under ThreadSanitizer by make test-tsan.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "automation/code_page.hpp"
#include "automation/folder_browser.hpp"
#include "automation/host_hooks.hpp"
#include "host_calls.hpp"
#include "krelvo.hpp"
#include "scoped_config_home.hpp"
#include "temporary_folder.hpp"

namespace reliability {
namespace {

using automation::SafeArray;

constexpr int kThreads = 4;
constexpr int kRounds = 6;

struct PlanResult {
  double otpad = 0;
  int32_t brsipka = 0;
  automation::Variant rezanje;
  friend bool operator==(const PlanResult&, const PlanResult&) = default;
};

PlanResult optimize() {
  const auto optimizer = krelvo::clsOptimizacija::create();
  optimizer->put_nitem(4);
  optimizer->put_litem(SafeArray<double>(0, {0.0, 2.5, 3.1, 4.4, 7.7}));
  optimizer->put_mitem(SafeArray<int32_t>(0, {0, 7, 5, 6, 3}));
  optimizer->put_lsource(SafeArray<double>(0, {0.0, 12.0, 15.5}));
  optimizer->put_msource(SafeArray<int32_t>(0, {0, 3, 0}));
  int32_t ngreedy = 1;
  int32_t ntrial = 40;
  int32_t iter = 30;
  optimizer->test(ngreedy, ntrial, iter);
  return {optimizer->get_otpad(), optimizer->get_brsipka(), optimizer->get_rezanje()};
}

// What one round of one thread finds; equal for every thread and round.
struct RoundResult {
  PlanResult plan;
  std::string loaded;
  int32_t crc_check = 0;
  std::string ini_value;
  std::string md5;
  int32_t adler = 0;
  std::string deciphered;
  std::string registry_value;
  std::string decrypted;
  friend bool operator==(const RoundResult&, const RoundResult&) = default;
};

RoundResult one_round(const std::filesystem::path& folder, int thread, bool with_encryption) {
  RoundResult result;
  result.plan = optimize();

  const auto file = drumel::clsFile::create();
  const std::filesystem::path text_file = folder / ("text" + std::to_string(thread) + ".txt");
  save_text(*file, "text of every thread", text_file);
  result.loaded = load_text(*file, text_file);
  crc32_file(*file, text_file, false, true);
  result.crc_check = crc32_file(*file, text_file, true, false);
  load_text(*file, folder / "missing.txt");  // a message box from every thread

  const auto ini = std::make_shared<drumel::clsINI>();
  const std::filesystem::path ini_file = folder / ("settings" + std::to_string(thread) + ".ini");
  test_support::write_file(ini_file, "[Section]\r\n");
  add_to_ini(*ini, "Section", "Key", "value", ini_file);
  result.ini_value = get_key_val(*ini, "Section", "Key", "", ini_file);

  const auto encript = std::make_shared<drumel::clsEncript>();
  automation::Bstr message = text("message");
  result.md5 = encript->MD5(message).to_utf8();
  result.adler = encript->Adler32(message);
  automation::Variant enciphered = encript->EncryptText(message, text("key"));
  result.deciphered =
      encript->DecryptText(enciphered.get<automation::Bstr>(), text("key")).get<automation::Bstr>().to_utf8();
  const int32_t drawn = encript->RndF(10, 1);
  if (drawn < 1 || drawn > 10) result.deciphered = "RndF out of range";
  if (with_encryption) {
    automation::Bstr password = text("password");
    automation::Bstr secret = encript->encrypt(password, message);
    result.decrypted = encript->decrypt(password, secret).to_utf8();
  }

  const auto api = std::make_shared<drumel::clsAPI>();
  const std::string key = "Software\\Threads\\T" + std::to_string(thread);
  save_string(*api, key, "Name", "value of every thread");
  result.registry_value = get_string(*api, key, "Name");
  del_setting(*api, key, "Name");
  return result;
}

TEST(Threads, EveryClassOnSeveralThreadsAtOnceGivesWhatOneThreadGives) {
  const automation::testing_support::ScopedConfigHome config_home;
  const test_support::TemporaryFolder folder;
  // The process-wide settings, all made before any thread starts.
  automation::set_ansi_code_page(automation::kDefaultAnsiCodePage);
  std::atomic<int> boxes{0};
  automation::set_message_box_handler([&boxes](const automation::Bstr&, const automation::Bstr&, int32_t) { ++boxes; });
  automation::set_yield_handler([] {});
  automation::set_folder_picker_handler([]() -> std::optional<std::string> { return std::nullopt; });

  const RoundResult expected = one_round(folder.path(), kThreads, true);
  ASSERT_EQ(expected.loaded, "text of every thread");
  ASSERT_EQ(expected.crc_check, -1);
  ASSERT_EQ(expected.decrypted, "message");
  boxes = 0;

  std::vector<std::vector<RoundResult>> results(kThreads);
  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread)
    threads.emplace_back([&, thread] {
      for (int round = 0; round < kRounds; ++round)
        results[static_cast<std::size_t>(thread)].push_back(one_round(folder.path(), thread, round == 0));
    });
  for (std::thread& thread : threads) thread.join();

  for (int thread = 0; thread < kThreads; ++thread)
    for (int round = 0; round < kRounds; ++round) {
      RoundResult wanted = expected;
      if (round != 0) wanted.decrypted.clear();
      EXPECT_EQ(results[static_cast<std::size_t>(thread)][static_cast<std::size_t>(round)], wanted)
          << "thread " << thread << ", round " << round;
    }
  EXPECT_EQ(boxes, kThreads * kRounds);
  automation::set_message_box_handler(nullptr);
  automation::set_yield_handler(nullptr);
  automation::set_folder_picker_handler(nullptr);
}

}  // namespace
}  // namespace reliability
