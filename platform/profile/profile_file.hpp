// A profile file held under an advisory lock: readers share it, a writer holds
// it alone and replaces the file whole, so no reader and no crash ever sees
// half a write and two writers of one file never lose each other's change.
// Every call goes through the file-system table in use when the file was opened.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "automation/file_descriptor.hpp"
#include "automation/file_system.hpp"

namespace automation::profile {

class LockedProfileFile {
 public:
  enum class Access { kRead, kWrite };

  // nullopt when no regular file can be opened and locked there.
  static std::optional<LockedProfileFile> open(const char* path, Access access);

  std::optional<std::string> read() const;

  // The file's content replaced whole (write_whole_file: its permissions and
  // owner kept, a link's target written). False: the file is unchanged.
  bool replace(std::string_view content) const;

 private:
  LockedProfileFile(std::shared_ptr<const FileSystem> file_system, FileDescriptor fd, std::string path)
      : file_system_(std::move(file_system)), fd_(std::move(fd)), path_(std::move(path)) {}

  std::shared_ptr<const FileSystem> file_system_;
  FileDescriptor fd_;
  std::string path_;
};

enum class Creation { kCreated, kAlreadyThere, kFailed };

// A new file appears whole, with the usual permissions of a new file, or not
// at all; it never replaces a file that another writer created first
// (kAlreadyThere: apply the change to that one instead).
Creation create_profile_file(const char* path, std::string_view content);

}  // namespace automation::profile
