// clsFile, clsINI and the profile functions under a failing file system:
// every call of the file-system table, one entry at a time, fails once or
// from then on, with the errno values a disk gives (EIO, ENOSPC for a full
// disk, EACCES). Whatever failed, the host gets either the healthy result
// and file, or the documented neutral result (with the error box where the
// method shows one) and the file as it was; no temporary file stays behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "automation/host_hooks.hpp"
#include "automation/profile.hpp"
#include "captured_message_boxes.hpp"
#include "fault_sweep.hpp"
#include "faulty_file_system.hpp"
#include "host_calls.hpp"
#include "temporary_folder.hpp"

namespace reliability {
namespace {

using test_support::FaultyFileSystem;
using test_support::ShownBox;
using Call = FaultyFileSystem::Call;
using Files = std::map<std::string, std::string>;

constexpr int kMostFailurePoints = 16;
const std::string kText = "line one\r\nline two\r\n";
const std::string kIni = "[Section]\r\nKey=old\r\nOther=kept\r\n[Second]\r\nKey=2\r\n";
const std::string kWrongTrailer = std::string("payload") + "\x01\x02\x03\x04";

// What a host sees of one call: its result as text, the boxes, the folder.
struct Outcome {
  std::string result;
  std::vector<ShownBox> boxes;
  Files files;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

Files files_in(const std::filesystem::path& folder) {
  Files files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files[entry.path().filename().string()] = test_support::read_file(entry.path());
  return files;
}

std::string describe(const Files& files) {
  std::string text;
  for (const auto& [name, content] : files) text += name + "(" + std::to_string(content.size()) + ") ";
  return text;
}

bool is_file_error_box(const ShownBox& box) {
  static const std::set<std::u16string> kTexts = {u"Error 53\r\nFile not found", u"Error 57\r\nDevice I/O error",
                                                  u"Error 70\r\nPermission denied",
                                                  u"Error 75\r\nPath/File access error", u"Error 76\r\nPath not found"};
  return box.caption == u"Error" && box.style == automation::kMsgBoxCritical && kTexts.contains(box.text);
}

bool is_sorry_box(const ShownBox& box) { return box.caption == u"Sorry" && box.style == automation::kMsgBoxCritical; }

struct FileOperation {
  const char* name;
  std::function<std::string(const std::filesystem::path& folder)> run;
  // The result a failure gives; the method shows an error box with it.
  std::string neutral;
  bool shows_box = false;
  // The result cannot tell a failure (the INI writes return nothing).
  bool silent = false;
};

class FileFaults : public testing::Test {
 protected:
  void lay_out() {
    std::filesystem::remove_all(folder_.path());
    std::filesystem::create_directory(folder_.path());
    test_support::write_file(folder_ / "text.txt", kText);
    test_support::write_file(folder_ / "data.bin", "payload");
    test_support::write_file(folder_ / "trailer.bin", kWrongTrailer);
    test_support::write_file(folder_ / "settings.ini", kIni);
  }
  Outcome run(const FileOperation& operation) {
    lay_out();
    boxes_.clear();
    std::string result = operation.run(folder_.path());
    return {std::move(result), boxes_.boxes(), files_in(folder_.path())};
  }

  test_support::TemporaryFolder folder_;
  test_support::CapturedMessageBoxes boxes_;
};

// Either all of it or nothing of it, as the host can tell.
std::string verdict(const FileOperation& operation, const Outcome& healthy, const Outcome& before,
                    const Outcome& faulty, bool remove_failed) {
  Files files = faulty.files;
  // A temporary file that could not be removed is the one thing allowed to stay.
  if (remove_failed)
    std::erase_if(files, [&](const auto& file) {
      return !before.files.contains(file.first) && !healthy.files.contains(file.first);
    });
  if (faulty.result == healthy.result && faulty.boxes.empty() && files == healthy.files) return {};
  if (operation.silent)
    return files == before.files || files == healthy.files ? "" : "the files are neither old nor new";
  if (faulty.result != operation.neutral) return "result " + faulty.result;
  if (!operation.shows_box) {
    if (!faulty.boxes.empty()) return "a box";
    return files == before.files ? "" : "the files changed: " + describe(files);
  }
  if (faulty.boxes.size() != 1) return std::to_string(faulty.boxes.size()) + " boxes";
  if (is_file_error_box(faulty.boxes[0])) return files == before.files ? "" : "the files changed: " + describe(files);
  // Saved, but the presence check after it failed: the documented "Sorry".
  if (is_sorry_box(faulty.boxes[0]))
    return files == before.files || files == healthy.files ? "" : "the files are neither old nor new";
  return "an unexpected box";
}

struct FailureKind {
  Call call;
  int error_number;
  const char* name;
};

const std::vector<FailureKind> kFailureKinds = {
    {Call::kOpen, EACCES, "open"},      {Call::kOpen, EMFILE, "open, no descriptors"},
    {Call::kClose, EIO, "close"},       {Call::kRead, EIO, "read"},
    {Call::kWrite, EIO, "write"},       {Call::kWrite, ENOSPC, "write, disk full"},
    {Call::kFlush, EIO, "flush"},       {Call::kFlush, ENOSPC, "flush, disk full"},
    {Call::kTruncate, EIO, "truncate"}, {Call::kChmod, EPERM, "chmod"},
    {Call::kFstat, EIO, "fstat"},       {Call::kStat, EACCES, "stat"},
    {Call::kRename, EACCES, "rename"},  {Call::kRenameNoReplace, EIO, "rename of a new file"},
    {Call::kRemove, EIO, "remove"},     {Call::kLock, ENOLCK, "lock"},
    {Call::kChown, EPERM, "chown"},     {Call::kLinkAnonymous, EIO, "naming the new file"},
};

std::vector<FileOperation> file_operations() {
  auto file = drumel::clsFile::create();
  auto ini = std::make_shared<drumel::clsINI>();
  const auto ini_path = [](const std::filesystem::path& folder) { return folder / "settings.ini"; };
  return {
      {"SaveText over a file",
       [file](const auto& folder) { return std::to_string(save_text(*file, "new text", folder / "text.txt")); }, "0",
       true},
      {"SaveText of a new file",
       [file](const auto& folder) { return std::to_string(save_text(*file, "new text", folder / "new.txt")); }, "0",
       true},
      {"LoadText", [file](const auto& folder) { return load_text(*file, folder / "text.txt"); }, "", true},
      {"FileExists",
       [file](const auto& folder) {
         automation::Bstr name = text(folder / "text.txt");
         return std::to_string(static_cast<bool>(file->FileExists(name)));
       },
       "0"},
      {"CRC32File",
       [file](const auto& folder) { return std::to_string(crc32_file(*file, folder / "data.bin", false, false)); },
       "0"},
      {"CRC32File with Add",
       [file](const auto& folder) { return std::to_string(crc32_file(*file, folder / "data.bin", false, true)); }, "0"},
      // The trailer is wrong, so the result is 0 whether the repair worked or not.
      {"CRC32File with Check and Add",
       [file](const auto& folder) { return std::to_string(crc32_file(*file, folder / "trailer.bin", true, true)); },
       "0", false, true},
      {"GetKeyVal",
       [ini, ini_path](const auto& folder) { return get_key_val(*ini, "Section", "Key", "default", ini_path(folder)); },
       "default"},
      {"AddToINI",
       [ini, ini_path](const auto& folder) { return add_to_ini(*ini, "Section", "Key", "new", ini_path(folder)), ""; },
       "", false, true},
      {"AddToINI of a new section",
       [ini, ini_path](const auto& folder) { return add_to_ini(*ini, "Third", "Key", "new", ini_path(folder)), ""; },
       "", false, true},
      {"DeleteKey",
       [ini, ini_path](const auto& folder) {
         return ini->DeleteKey(text(ini_path(folder)), text("Section"), text("Key")), "";
       },
       "", false, true},
      {"DeleteKeyValue",
       [ini, ini_path](const auto& folder) {
         return ini->DeleteKeyValue(text(ini_path(folder)), text("Section"), text("Key")), "";
       },
       "", false, true},
      {"DeleteSection",
       [ini, ini_path](const auto& folder) { return ini->DeleteSection(text(ini_path(folder)), text("Second")), ""; },
       "", false, true},
      // The profile function itself tells success, and creates missing files.
      {"WritePrivateProfileStringA of a new file",
       [](const auto& folder) {
         const std::string path = (folder / "fresh.ini").string();
         return std::to_string(automation::WritePrivateProfileStringA("S", "K", "v", path.c_str()));
       },
       "0"},
      {"WritePrivateProfileStringA",
       [ini_path](const auto& folder) {
         const std::string path = ini_path(folder).string();
         return std::to_string(automation::WritePrivateProfileStringA("Section", "Key", "new", path.c_str()));
       },
       "0"},
  };
}

TEST_F(FileFaults, EveryFailingCallGivesTheHealthyOrTheNeutralResult) {
  FaultyFileSystem file_system;
  int failures_tried = 0;
  for (const FileOperation& operation : file_operations()) {
    file_system.heal();
    lay_out();
    const Outcome before{"", {}, files_in(folder_.path())};
    file_system.reset_counts();
    const Outcome healthy = run(operation);
    ASSERT_TRUE(healthy.boxes.empty()) << operation.name;
    failures_tried += test_support::sweep_failure_points(
        test_support::calls_counted(file_system), kFailureKinds, kMostFailurePoints, true,
        [&](const FailureKind& failure, int nth, bool persistent) {
          lay_out();
          file_system.fail(failure.call, nth, failure.error_number, persistent);
          const Outcome faulty = run(operation);
          file_system.heal();
          EXPECT_EQ(verdict(operation, healthy, before, faulty, failure.call == Call::kRemove), "")
              << operation.name << ", " << failure.name << " call " << nth << (persistent ? " and after" : " only")
              << ": result " << faulty.result << ", files " << describe(faulty.files);
        });
  }
  EXPECT_GT(failures_tried, 300);
}

}  // namespace
}  // namespace reliability
