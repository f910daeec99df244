#include "automation/file_descriptor.hpp"

namespace automation {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    close();
    file_system_ = std::move(other.file_system_);
    descriptor_ = std::exchange(other.descriptor_, -1);
  }
  return *this;
}

int FileDescriptor::close() noexcept {
  if (descriptor_ < 0) return 0;
  return file_system_->close(std::exchange(descriptor_, -1));
}

}  // namespace automation
