#include "profile_file.hpp"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "automation/whole_file_writer.hpp"

namespace automation::profile {

std::optional<LockedProfileFile> LockedProfileFile::open(const char* path, Access access) {
  const std::shared_ptr<const FileSystem> file_system = automation::file_system();
  const int flags = (access == Access::kWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  const int lock = access == Access::kWrite ? LOCK_EX : LOCK_SH;
  // A writer renames a new file over the one we wait on; after the wait the
  // lock must be on the file that the path names now, or we start again.
  for (;;) {
    FileStatus named;
    // Never open a pipe or device.
    if (file_system->stat(path, named) != 0 || !named.is_regular()) return std::nullopt;
    const int opened_fd = file_system->open(path, flags, 0);
    if (opened_fd < 0) return std::nullopt;
    FileDescriptor fd(file_system, opened_fd);
    FileStatus opened;
    if (file_system->fstat(fd.get(), opened) != 0 || !opened.is_regular()) return std::nullopt;
    if (file_system->lock(fd.get(), lock) != 0) return std::nullopt;
    FileStatus current;
    if (file_system->stat(path, current) == 0 && current.same_file(opened))
      return LockedProfileFile(file_system, std::move(fd), path);
  }
}

std::optional<std::string> LockedProfileFile::read() const {
  std::string content;
  FileStatus info;
  if (file_system_->fstat(fd_.get(), info) == 0 && info.size > 0) content.reserve(static_cast<std::size_t>(info.size));
  char chunk[1 << 16];
  for (int64_t offset = 0;;) {
    const int64_t count = file_system_->read(fd_.get(), chunk, sizeof chunk, offset);
    if (count < 0) return std::nullopt;
    if (count == 0) return content;
    content.append(chunk, static_cast<std::size_t>(count));
    offset += count;
  }
}

bool LockedProfileFile::replace(std::string_view content) const {
  return static_cast<bool>(write_whole_file(file_system_, path_, content));
}

Creation create_profile_file(const char* path, std::string_view content) {
  const WholeFileWrite written = write_whole_file(automation::file_system(), path, content, WholeFileMode::kCreateOnly);
  if (written) return Creation::kCreated;
  return written.error_number == EEXIST ? Creation::kAlreadyThere : Creation::kFailed;
}

}  // namespace automation::profile
