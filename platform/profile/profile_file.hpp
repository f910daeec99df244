// A profile file held under an advisory lock: readers share it, a writer holds
// it alone and replaces the file whole, so no reader and no crash ever sees
// half a write and two writers of one file never lose each other's change.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace automation::profile {

// Owns one open file descriptor; closing it releases its lock.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();

  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }
  int release() noexcept;

 private:
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
  LockedProfileFile(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

  UniqueFd fd_;
  std::string path_;
};

enum class Creation { kCreated, kAlreadyThere, kFailed };

// A new file appears whole, with the usual permissions of a new file, or not
// at all; it never replaces a file that another writer created first
// (kAlreadyThere: apply the change to that one instead).
Creation create_profile_file(const char* path, std::string_view content);

}  // namespace automation::profile
