// A profile file held under an advisory lock: readers share it, a writer holds
// it alone and replaces the file whole, so no reader and no crash ever sees
// half a write and two writers of one file never lose each other's change.
// Every call goes through the file-system table in use when the file was opened.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "automation/file_system.hpp"

namespace automation::profile {

// Owns one descriptor opened through the file-system table and closes it
// there; closing it releases its lock.
class UniqueFd {
 public:
  UniqueFd() = default;
  UniqueFd(std::shared_ptr<const FileSystem> file_system, int fd) : file_system_(std::move(file_system)), fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : file_system_(std::move(other.file_system_)), fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();

  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }
  int release() noexcept;

 private:
  std::shared_ptr<const FileSystem> file_system_;
  int fd_ = -1;
};

class LockedProfileFile {
 public:
  enum class Access { kRead, kWrite };

  // nullopt when no regular file can be opened and locked there.
  static std::optional<LockedProfileFile> open(const char* path, Access access);

  std::optional<std::string> read() const;

  // Writes the content to a temporary file in the same folder, gives it the
  // file's permissions and owner, flushes it and renames it over the file
  // (over a link's target, so the link stays). False: the file is unchanged.
  bool replace(std::string_view content) const;

 private:
  LockedProfileFile(std::shared_ptr<const FileSystem> file_system, UniqueFd fd, std::string path)
      : file_system_(std::move(file_system)), fd_(std::move(fd)), path_(std::move(path)) {}

  std::shared_ptr<const FileSystem> file_system_;
  UniqueFd fd_;
  std::string path_;
};

enum class Creation { kCreated, kAlreadyThere, kFailed };

// A new file appears whole, with the usual permissions of a new file, or not
// at all; it never replaces a file that another writer created first
// (kAlreadyThere: apply the change to that one instead).
Creation create_profile_file(const char* path, std::string_view content);

}  // namespace automation::profile
