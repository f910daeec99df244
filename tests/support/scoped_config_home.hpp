// A fresh temporary folder as $XDG_CONFIG_HOME for one test, so the registry
// store a test touches is its own; the previous value comes back afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "temporary_folder.hpp"

namespace automation::testing_support {

class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    set(value);
  }
  ~ScopedEnvironmentVariable() { set(previous_); }
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  void set(const std::optional<std::string>& value) {
    if (value)
      ::setenv(name_, value->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> previous_;
};

using TemporaryFolder = ::test_support::TemporaryFolder;

class ScopedConfigHome {
 public:
  ScopedConfigHome() : variable_("XDG_CONFIG_HOME", folder_.path().string()) {}
  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  TemporaryFolder folder_;
  ScopedEnvironmentVariable variable_;
};

}  // namespace automation::testing_support
