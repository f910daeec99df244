#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/error.hpp"
#include "automation/file_system.hpp"
#include "automation/open_file.hpp"
#include "raises_automation_error.hpp"
#include "scoped_file_system.hpp"
#include "temporary_folder.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;
using test_support::ScopedFileSystem;
using test_support::TemporaryFolder;

TEST(FileErrors, ErrnoValuesBecomeTheRuntimesFileErrors) {
  struct Case {
    int error_number;
    FileErrorContext context;
    int32_t number;
    const char* description;
  };
  const std::vector<Case> cases = {
      {ENOENT, FileErrorContext::kOpening, 53, "File not found"},
      {ENOENT, FileErrorContext::kCreating, 76, "Path not found"},
      {ENOTDIR, FileErrorContext::kOpening, 76, "Path not found"},
      {EACCES, FileErrorContext::kCreating, 70, "Permission denied"},
      {EROFS, FileErrorContext::kOpening, 70, "Permission denied"},
      {EPERM, FileErrorContext::kTransferring, 70, "Permission denied"},
      {EIO, FileErrorContext::kTransferring, 57, "Device I/O error"},
      {ENOSPC, FileErrorContext::kCreating, 57, "Device I/O error"},
      {EISDIR, FileErrorContext::kOpening, 75, "Path/File access error"},
      {ENAMETOOLONG, FileErrorContext::kCreating, 75, "Path/File access error"},
      {EBADF, FileErrorContext::kTransferring, 57, "Device I/O error"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT([&] { raise_file_error(c.error_number, c.context); }, RaisesAutomationError(c.number, c.description))
        << "errno " << c.error_number;
  }
}

TEST(FileSystemTable, EmptyEntriesStayNativeAndNullRestoresTheNativeTable) {
  TemporaryFolder folder;
  test_support::write_file(folder / "f", "abc");
  int opens = 0;
  const std::shared_ptr<const FileSystem> before = file_system();
  {
    FileSystem counting;
    counting.open = [&opens](const char* path, int flags, uint32_t permissions) {
      ++opens;
      return native_file_system().open(path, flags, permissions);
    };
    ScopedFileSystem scoped(counting);
    const OpenFile file(file_system(), (folder / "f").c_str(), O_RDONLY);
    EXPECT_EQ(file.status().size, 3);  // fstat was left empty: the native one
    // An operation that took the table before a swap keeps it.
    const OpenFile earlier(before, (folder / "f").c_str(), O_RDONLY);
  }
  EXPECT_EQ(opens, 1);
  const OpenFile file(file_system(), (folder / "f").c_str(), O_RDONLY);
  EXPECT_EQ(opens, 1);
}

TEST(OpenFile, LoopsOverShortTransfersAndClosesOnEveryPath) {
  TemporaryFolder folder;
  const std::string content = "0123456789abcdef";
  test_support::write_file(folder / "f", content);
  const FileSystem& native = native_file_system();
  int closes = 0;
  int writes = 0;
  FileSystem trickling;  // three bytes per call at most
  trickling.read = [&native](int file, void* buffer, std::size_t count, int64_t offset) {
    return native.read(file, buffer, std::min<std::size_t>(count, 3), offset);
  };
  trickling.write = [&](int file, const void* data, std::size_t count, int64_t offset) {
    ++writes;
    return native.write(file, data, std::min<std::size_t>(count, 3), offset);
  };
  trickling.close = [&](int file) {
    ++closes;
    return native.close(file);
  };
  ScopedFileSystem scoped(trickling);
  {
    OpenFile file(file_system(), (folder / "f").c_str(), O_RDWR);
    std::string buffer(20, '.');
    EXPECT_EQ(file.read_at(2, std::as_writable_bytes(std::span(buffer))), content.size() - 2);
    EXPECT_EQ(buffer.substr(0, content.size() - 2), content.substr(2));
    const std::string update = "ABCDEFG";
    file.write_all_at(1, std::as_bytes(std::span(update)));
    EXPECT_EQ(writes, 3);
    EXPECT_THROW(file.write_once_at(0, std::as_bytes(std::span(update))), AutomationError);
    EXPECT_EQ(writes, 4);
  }
  EXPECT_EQ(closes, 1);
  // "ABCDEFG" at 1 in three calls, then the failed single write's "ABC" at 0.
  EXPECT_EQ(test_support::read_file(folder / "f"), "ABCCDEFG89abcdef");
  EXPECT_THROW(OpenFile(file_system(), (folder / "missing").c_str(), O_RDONLY), AutomationError);
  EXPECT_EQ(closes, 1);
}

TEST(OpenFile, ExplicitCloseReportsLateFailuresOnce) {
  TemporaryFolder folder;
  test_support::write_file(folder / "f", "x");
  int closes = 0;
  FileSystem failing_close;
  failing_close.close = [&closes](int file) {
    ++closes;
    native_file_system().close(file);
    return -EIO;
  };
  ScopedFileSystem scoped(failing_close);
  {
    OpenFile file(file_system(), (folder / "f").c_str(), O_RDONLY);
    EXPECT_THAT([&] { file.close(); }, RaisesAutomationError(kErrDeviceIoError));
  }
  EXPECT_EQ(closes, 1);
}

}  // namespace
}  // namespace automation
