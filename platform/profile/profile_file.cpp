#include "profile_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>

namespace automation::profile {
namespace {

bool write_all(const FileSystem& file_system, int fd, std::string_view bytes) {
  int64_t offset = 0;
  while (!bytes.empty()) {
    const int64_t written = file_system.write(fd, bytes.data(), bytes.size(), offset);
    // A device that takes nothing and reports no error would spin here forever.
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
    offset += written;
  }
  return true;
}

// The path a rename must replace: a symbolic link's target, not the link.
std::string resolved_path(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

// A temporary file beside the file it will become, removed again unless it
// was moved into place. Made with mode 0666 so the process's umask applies
// to a new file as to any file it creates.
class TemporaryFile {
 public:
  TemporaryFile(std::shared_ptr<const FileSystem> file_system, const std::string& target)
      : file_system_(std::move(file_system)) {
    static std::atomic<unsigned> counter{0};
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    constexpr std::size_t kNameRoom = 200;  // leaves room for the dot and suffix under NAME_MAX
    const std::string stem = folder + "." + name.substr(0, kNameRoom) + "." + std::to_string(::getpid()) + "-";
    // A name left by a killed process with the same id is skipped.
    for (int attempt = 0; attempt < 100 && !fd_; ++attempt) {
      path_ = stem + std::to_string(counter.fetch_add(1));
      const int fd = file_system_->open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
      if (fd >= 0) fd_ = UniqueFd(file_system_, fd);
      if (fd < 0 && fd != -EEXIST) break;
    }
    if (!fd_) path_.clear();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    fd_ = UniqueFd();
    if (!path_.empty()) file_system_->remove(path_.c_str());
  }

  int fd() const { return fd_.get(); }
  bool valid() const { return static_cast<bool>(fd_); }

  bool write_and_flush(std::string_view content) const {
    return write_all(*file_system_, fd(), content) && file_system_->flush(fd()) == 0;
  }

  bool rename_over(const std::string& target) {
    if (file_system_->rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

  // Fails with -EEXIST when the target is there.
  int rename_to_new(const std::string& target) {
    const int moved = file_system_->rename_no_replace(path_.c_str(), target.c_str());
    if (moved == 0) path_.clear();
    return moved;
  }

 private:
  std::shared_ptr<const FileSystem> file_system_;
  std::string path_;
  UniqueFd fd_;
};

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) file_system_->close(fd_);
    file_system_ = std::move(other.file_system_);
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) file_system_->close(fd_);
}

int UniqueFd::release() noexcept {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

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
    UniqueFd fd(file_system, opened_fd);
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
  FileStatus old_file;
  if (file_system_->fstat(fd_.get(), old_file) != 0) return false;
  const std::string target = resolved_path(path_);
  TemporaryFile temporary(file_system_, target);
  if (!temporary.valid()) return false;
  if (file_system_->chmod(temporary.fd(), old_file.permissions()) != 0) return false;
  // Only a privileged process can give the file away; otherwise the copy
  // stays ours, as any rewrite by us would leave it.
  [[maybe_unused]] const int owner_kept = file_system_->chown(temporary.fd(), old_file.owner, old_file.group);
  return temporary.write_and_flush(content) && temporary.rename_over(target);
}

Creation create_profile_file(const char* path, std::string_view content) {
  TemporaryFile temporary(automation::file_system(), path);
  if (!temporary.valid() || !temporary.write_and_flush(content)) return Creation::kFailed;
  const int moved = temporary.rename_to_new(path);
  if (moved == 0) return Creation::kCreated;
  return moved == -EEXIST ? Creation::kAlreadyThere : Creation::kFailed;
}

}  // namespace automation::profile
