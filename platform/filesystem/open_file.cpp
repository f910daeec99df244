#include "automation/open_file.hpp"

#include <fcntl.h>

#include <cerrno>
#include <utility>

#include "automation/error.hpp"

namespace automation {

void raise_file_error(int error_number, FileErrorContext context) {
  switch (error_number) {
    case ENOENT:
      if (context == FileErrorContext::kOpening) raise_file_not_found();
      if (context == FileErrorContext::kCreating) raise_path_not_found();
      raise_device_io_error();
    case ENOTDIR:
      raise_path_not_found();
    case EACCES:
    case EPERM:
    case EROFS:
      raise_permission_denied();
    case EIO:
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      raise_device_io_error();
    default:
      if (context == FileErrorContext::kTransferring) raise_device_io_error();
      raise_path_file_access_error();
  }
}

namespace {

void check(int64_t result, FileErrorContext context) {
  if (result < 0) raise_file_error(static_cast<int>(-result), context);
}

FileDescriptor opened(std::shared_ptr<const FileSystem> file_system, const char* path, int flags,
                      uint32_t permissions) {
  const int descriptor = file_system->open(path, flags, permissions);
  check(descriptor, (flags & O_CREAT) != 0 ? FileErrorContext::kCreating : FileErrorContext::kOpening);
  return FileDescriptor(std::move(file_system), descriptor);
}

}  // namespace

OpenFile::OpenFile(std::shared_ptr<const FileSystem> file_system, const char* path, int flags, uint32_t permissions)
    : descriptor_(opened(std::move(file_system), path, flags, permissions)) {}

FileStatus OpenFile::status() const {
  FileStatus status;
  check(calls().fstat(descriptor_.get(), status), FileErrorContext::kTransferring);
  return status;
}

std::size_t OpenFile::read_at(int64_t offset, std::span<std::byte> buffer) const {
  std::size_t filled = 0;
  while (filled < buffer.size()) {
    const int64_t count = calls().read(descriptor_.get(), buffer.data() + filled, buffer.size() - filled,
                                       offset + static_cast<int64_t>(filled));
    check(count, FileErrorContext::kTransferring);
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  return filled;
}

void OpenFile::write_once_at(int64_t offset, std::span<const std::byte> data) {
  const int64_t count = calls().write(descriptor_.get(), data.data(), data.size(), offset);
  check(count, FileErrorContext::kTransferring);
  if (static_cast<std::size_t>(count) != data.size()) raise_device_io_error();
}

void OpenFile::write_all_at(int64_t offset, std::span<const std::byte> data) {
  std::size_t written = 0;
  while (written < data.size()) {
    const int64_t count = calls().write(descriptor_.get(), data.data() + written, data.size() - written,
                                        offset + static_cast<int64_t>(written));
    check(count, FileErrorContext::kTransferring);
    // A device that takes nothing and reports no error would spin here forever.
    if (count == 0) raise_device_io_error();
    written += static_cast<std::size_t>(count);
  }
}

void OpenFile::flush() { check(calls().flush(descriptor_.get()), FileErrorContext::kTransferring); }

void OpenFile::truncate(int64_t length) {
  check(calls().truncate(descriptor_.get(), length), FileErrorContext::kTransferring);
}

void OpenFile::set_permissions(uint32_t permissions) {
  check(calls().chmod(descriptor_.get(), permissions), FileErrorContext::kTransferring);
}

void OpenFile::close() { check(descriptor_.close(), FileErrorContext::kTransferring); }

}  // namespace automation
