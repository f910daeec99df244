// A fresh temporary folder as $XDG_CONFIG_HOME for one test, so the registry
// store a test touches is its own; the previous value comes back afterwards.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

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

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "drumel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::system_error(errno, std::generic_category(), pattern);
    path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class ScopedConfigHome {
 public:
  ScopedConfigHome() : variable_("XDG_CONFIG_HOME", folder_.path().string()) {}
  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  TemporaryFolder folder_;
  ScopedEnvironmentVariable variable_;
};

}  // namespace automation::testing_support
