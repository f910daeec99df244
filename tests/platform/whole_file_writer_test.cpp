#include "automation/whole_file_writer.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "scoped_file_system.hpp"
#include "temporary_folder.hpp"

namespace automation {
namespace {

using test_support::ScopedFileSystem;
using test_support::TemporaryFolder;
namespace fs = std::filesystem;

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

uint32_t mode_of(const fs::path& path) {
  struct stat status {};
  ::lstat(path.c_str(), &status);
  return status.st_mode;
}

WholeFileWrite write(const fs::path& path, std::string_view content,
                     WholeFileMode mode = WholeFileMode::kReplaceOrCreate) {
  return write_whole_file(file_system(), path.string(), content, mode);
}

// A process id that no process holds any more.
pid_t gone_process() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(WholeFileWriter, ReplacesTheContentKeepingTheModeAndFollowingLinks) {
  TemporaryFolder folder;
  test_support::write_file(folder / "file", "old content");
  ::chmod((folder / "file").c_str(), 0640);
  fs::create_directory(folder / "sub");
  test_support::write_file(folder / "sub" / "target", "old");
  fs::create_symlink("sub/target", folder / "link");
  fs::create_symlink("link", folder / "link to link");

  ASSERT_TRUE(write(folder / "file", "new"));
  EXPECT_EQ(test_support::read_file(folder / "file"), "new");
  EXPECT_EQ(mode_of(folder / "file"), S_IFREG | 0640u);

  ASSERT_TRUE(write(folder / "link to link", "through two links"));
  EXPECT_TRUE(fs::is_symlink(folder / "link to link"));
  EXPECT_TRUE(fs::is_symlink(folder / "link"));
  EXPECT_EQ(test_support::read_file(folder / "sub" / "target"), "through two links");

  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_TRUE(write(folder / "fresh", ""));
  EXPECT_EQ(mode_of(folder / "fresh"), S_IFREG | (0666u & ~mask));
  EXPECT_EQ(names_in(folder.path()), (std::vector<std::string>{"file", "fresh", "link", "link to link", "sub"}));
  EXPECT_EQ(names_in(folder / "sub"), std::vector<std::string>{"target"});
}

TEST(WholeFileWriter, WhatIsNoRegularFileIsWrittenStraightNeverReplaced) {
  TemporaryFolder folder;
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = test_support::read_file(folder / "fifo"); });
  const std::string content(200000, 'x');  // more than a pipe holds at once
  EXPECT_TRUE(write(folder / "fifo", content));
  reader.join();
  EXPECT_EQ(received.size(), content.size());
  EXPECT_TRUE(S_ISFIFO(mode_of(folder / "fifo")));

  EXPECT_TRUE(write("/dev/null", "discarded"));
  EXPECT_TRUE(S_ISCHR(mode_of("/dev/null")));

  fs::create_directory(folder / "folder");
  const WholeFileWrite into_folder = write(folder / "folder", "x");
  EXPECT_EQ(into_folder.error_number, EISDIR);
  EXPECT_EQ(names_in(folder.path()), (std::vector<std::string>{"fifo", "folder"}));
}

// Another user who can write the folder plants links at the names a writer
// might use: the content never goes through one, whichever way the new file
// is made.
TEST(WholeFileWriter, NeverWritesThroughALinkPlantedAtItsTemporaryName) {
  for (const bool anonymous : {true, false}) {
    TemporaryFolder folder;
    test_support::write_file(folder / "victim", "precious");
    std::vector<std::string> names;
    FileSystem planting;
    planting.open = [&](const char* path, int flags, uint32_t permissions) {
      if ((flags & O_TMPFILE) == O_TMPFILE && !anonymous) return -EOPNOTSUPP;
      if ((flags & O_CREAT) != 0) {
        EXPECT_EQ(flags & (O_EXCL | O_NOFOLLOW), O_EXCL | O_NOFOLLOW) << path;
        names.push_back(path);
        if (names.size() == 1) fs::create_symlink(folder / "victim", path);
      }
      return native_file_system().open(path, flags, permissions);
    };
    planting.link_anonymous = [&](int file, const char* to) {
      names.push_back(to);
      if (names.size() == 1) fs::create_symlink(folder / "victim", to);
      return native_file_system().link_anonymous(file, to);
    };
    ScopedFileSystem scoped(planting);
    ASSERT_TRUE(write(folder / "plan.svg", "diagram")) << anonymous;
    EXPECT_EQ(test_support::read_file(folder / "victim"), "precious") << anonymous;
    EXPECT_EQ(test_support::read_file(folder / "plan.svg"), "diagram") << anonymous;
    ASSERT_EQ(names.size(), 2u) << anonymous;
    EXPECT_NE(names[0], names[1]);
    // Ours is renamed away; the planted link stays, it is not ours to remove.
    EXPECT_EQ(names_in(folder.path()).size(), 3u) << anonymous;
    EXPECT_TRUE(fs::is_symlink(names[0]));
  }
}

// Content made while it is written arrives whole and in order, into a file
// or a FIFO alike.
TEST(WholeFileWriter, WritesContentGivenInPieces) {
  TemporaryFolder folder;
  const std::vector<std::string> pieces = {"first ", std::string(100000, 'x'), " last"};
  const std::string whole = pieces[0] + pieces[1] + pieces[2];
  const auto in_pieces = [&pieces] {
    return [&pieces, next = std::size_t{0}]() mutable {
      return next < pieces.size() ? std::string_view(pieces[next++]) : std::string_view();
    };
  };
  test_support::write_file(folder / "file", "old");
  ASSERT_TRUE(write_whole_file(file_system(), (folder / "file").string(), in_pieces()));
  EXPECT_EQ(test_support::read_file(folder / "file"), whole);

  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = test_support::read_file(folder / "fifo"); });
  EXPECT_TRUE(write_whole_file(file_system(), (folder / "fifo").string(), in_pieces()));
  reader.join();
  EXPECT_EQ(received, whole);
}

TEST(WholeFileWriter, CreateOnlyNeverReplacesAFileEvenOneAppearingMidway) {
  TemporaryFolder folder;
  test_support::write_file(folder / "there", "theirs");
  EXPECT_EQ(write(folder / "there", "ours", WholeFileMode::kCreateOnly).error_number, EEXIST);
  EXPECT_EQ(test_support::read_file(folder / "there"), "theirs");

  FileSystem racing;  // another writer creates the file while ours is written
  racing.write = [&](int file, const void* data, std::size_t count, int64_t offset) {
    if (!fs::exists(folder / "raced")) test_support::write_file(folder / "raced", "first");
    return native_file_system().write(file, data, count, offset);
  };
  ScopedFileSystem scoped(racing);
  EXPECT_EQ(write(folder / "raced", "second", WholeFileMode::kCreateOnly).error_number, EEXIST);
  EXPECT_EQ(test_support::read_file(folder / "raced"), "first");
  EXPECT_EQ(names_in(folder.path()), (std::vector<std::string>{"raced", "there"}));
}

TEST(WholeFileWriter, RemovesTheTemporaryFilesOfKilledWritersOnly) {
  TemporaryFolder folder;
  const std::string gone = std::to_string(gone_process());
  const std::string alive = std::to_string(::getppid());
  const std::string random = "-0123456789abcdef.tmp";
  test_support::write_file(folder / (".doc." + gone + random), "left by a killed writer");
  test_support::write_file(folder / (".doc." + alive + random), "a live writer's");
  test_support::write_file(folder / (".other." + gone + random), "another file's");
  test_support::write_file(folder / (".doc." + gone + "-short.tmp"), "not a name of ours");
  test_support::write_file(folder / "elsewhere", "kept");
  fs::create_symlink(folder / "elsewhere", folder / (".doc." + gone + "-fedcba9876543210.tmp"));

  ASSERT_TRUE(write(folder / "doc", "text"));
  std::vector<std::string> expected = {
      ".doc." + alive + random, ".doc." + gone + "-fedcba9876543210.tmp", ".doc." + gone + "-short.tmp",
      ".other." + gone + random, "doc", "elsewhere"};
  std::sort(expected.begin(), expected.end());  // where the live writer's name sorts depends on the process ids
  EXPECT_EQ(names_in(folder.path()), expected);
  EXPECT_EQ(test_support::read_file(folder / "elsewhere"), "kept");
}

}  // namespace
}  // namespace automation
