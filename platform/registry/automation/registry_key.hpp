// An owned registry key handle, closed when it goes out of scope.
#pragma once

#include <utility>

#include "automation/registry.hpp"

namespace automation {

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() { reset(); }
  RegistryKey(RegistryKey&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  HKEY get() const noexcept { return handle_; }
  // For the functions that hand out a handle; a handle held before is closed.
  HKEY* receive() noexcept {
    reset();
    return &handle_;
  }
  void reset() noexcept {
    if (handle_ != 0) RegCloseKey(std::exchange(handle_, 0));
  }

 private:
  HKEY handle_ = 0;
};

}  // namespace automation
