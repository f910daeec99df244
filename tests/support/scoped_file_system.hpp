// Installs a file-system table for one test (entries left empty stay native)
// and restores the native table afterwards.
#pragma once

#include <memory>

#include "automation/file_system.hpp"

namespace test_support {

class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(automation::FileSystem replacement) {
    automation::set_file_system(std::make_shared<const automation::FileSystem>(std::move(replacement)));
  }
  ~ScopedFileSystem() { automation::set_file_system(nullptr); }
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;
};

}  // namespace test_support
