// The one owner of a file descriptor: it closes the descriptor through the
// file-system table that opened it, on every path, exactly once.
#pragma once

#include <memory>
#include <utility>

#include "automation/file_system.hpp"

namespace automation {

class AUTOMATION_RUNTIME_API FileDescriptor {
 public:
  FileDescriptor() = default;
  FileDescriptor(std::shared_ptr<const FileSystem> file_system, int descriptor) noexcept
      : file_system_(std::move(file_system)), descriptor_(descriptor) {}
  FileDescriptor(FileDescriptor&& other) noexcept
      : file_system_(std::move(other.file_system_)), descriptor_(std::exchange(other.descriptor_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { close(); }

  int get() const noexcept { return descriptor_; }
  explicit operator bool() const noexcept { return descriptor_ >= 0; }
  const FileSystem& file_system() const noexcept { return *file_system_; }

  // Closes now: 0, or the negated errno of a late write failure the close
  // reported. The descriptor is released either way, as Linux releases it.
  int close() noexcept;

 private:
  std::shared_ptr<const FileSystem> file_system_;
  int descriptor_ = -1;
};

}  // namespace automation
