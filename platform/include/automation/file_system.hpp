// The file-system calls of the libraries, as one process-wide table of
// functions that a host can swap like an OS layer (a test installs one that
// fails on purpose). Each function returns its result, or a negated errno
// value when the call fails.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "automation/bstr.hpp"
#include "automation/runtime_api.hpp"

namespace automation {

struct FileStatus {
  int64_t size = 0;
  uint32_t mode = 0;  // file type and permission bits, as in st_mode
  uint64_t device = 0;
  uint64_t inode = 0;
  uint32_t owner = 0;
  uint32_t group = 0;

  bool is_directory() const noexcept { return S_ISDIR(mode); }
  bool same_file(const FileStatus& other) const noexcept { return device == other.device && inode == other.inode; }
  bool is_regular() const noexcept { return S_ISREG(mode); }
  uint32_t permissions() const noexcept { return mode & 07777u; }
};

struct FileSystem {
  // A descriptor; flags and permissions as for open(2).
  std::function<int(const char* path, int flags, uint32_t permissions)> open;
  std::function<int(int file)> close;
  // Positional: bytes read (0 at the end of the file) or written. A write
  // at offset -1 goes where the descriptor stands, for pipes and terminals.
  std::function<int64_t(int file, void* buffer, std::size_t count, int64_t offset)> read;
  std::function<int64_t(int file, const void* data, std::size_t count, int64_t offset)> write;
  // Down to the device.
  std::function<int(int file)> flush;
  std::function<int(int file, int64_t length)> truncate;
  std::function<int(int file, uint32_t permissions)> chmod;
  std::function<int(int file, FileStatus& status)> fstat;
  // Follows symbolic links.
  std::function<int(const char* path, FileStatus& status)> stat;
  std::function<int(const char* from, const char* to)> rename;
  // Fails with EEXIST instead of replacing a file already at `to`.
  std::function<int(const char* from, const char* to)> rename_no_replace;
  std::function<int(const char* path)> remove;
  // An advisory lock of the whole file, operation as for flock(2); waits.
  std::function<int(int file, int operation)> lock;
  std::function<int(int file, uint32_t owner, uint32_t group)> chown;
  // Gives a file opened with O_TMPFILE a name; fails with EEXIST instead of
  // replacing a file already there.
  std::function<int(int file, const char* to)> link_anonymous;
};

// The table over the Linux system calls.
AUTOMATION_RUNTIME_API const FileSystem& native_file_system();
// The same, for owners that hold on to their table (FileDescriptor).
AUTOMATION_RUNTIME_API std::shared_ptr<const FileSystem> shared_native_file_system();

// The table in use. One operation holds on to it from start to end, so a
// swap never splits an operation between two tables.
AUTOMATION_RUNTIME_API std::shared_ptr<const FileSystem> file_system();

// Entries left empty fall through to the native ones; null restores the
// native table.
AUTOMATION_RUNTIME_API void set_file_system(std::shared_ptr<const FileSystem> replacement);

// A path as Linux takes it, in UTF-8; none for a path holding a NUL
// character, which would name a different file than the caller meant.
inline std::optional<std::string> native_path(const Bstr& path) {
  std::string native = path.to_utf8();
  if (native.find('\0') != std::string::npos) return std::nullopt;
  return native;
}

}  // namespace automation
