// A file opened through the file-system table, closed on every path, whose
// failures are raised as the automation runtime's file errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "automation/file_descriptor.hpp"
#include "automation/file_system.hpp"

namespace automation {

// Where an errno value was met; "no such file" means a missing file when
// opening one, a missing folder when creating one.
enum class FileErrorContext { kOpening, kCreating, kTransferring };

// 53 file not found, 57 device I/O error, 70 permission denied, 75 path/file
// access error or 76 path not found, with their usual descriptions.
[[noreturn]] AUTOMATION_RUNTIME_API void raise_file_error(int error_number, FileErrorContext context);

class AUTOMATION_RUNTIME_API OpenFile {
 public:
  // Flags and permissions as for open(2); raises the file error on failure.
  OpenFile(std::shared_ptr<const FileSystem> file_system, const char* path, int flags, uint32_t permissions = 0666);

  FileStatus status() const;
  // Fills the buffer from the offset on; fewer bytes only at the end of the file.
  std::size_t read_at(int64_t offset, std::span<std::byte> buffer) const;
  // One write call: raises unless it took every byte.
  void write_once_at(int64_t offset, std::span<const std::byte> data);
  void write_all_at(int64_t offset, std::span<const std::byte> data);
  void flush();
  void truncate(int64_t length);
  void set_permissions(uint32_t permissions);
  // Closes now, raising when the close reports a late write failure.
  void close();

 private:
  const FileSystem& calls() const { return descriptor_.file_system(); }

  FileDescriptor descriptor_;
};

}  // namespace automation
