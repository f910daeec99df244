#include "profile_file.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>

namespace automation::profile {
namespace {

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
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
  explicit TemporaryFile(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    constexpr std::size_t kNameRoom = 200;  // leaves room for the dot and suffix under NAME_MAX
    const std::string stem = folder + "." + name.substr(0, kNameRoom) + "." + std::to_string(::getpid()) + "-";
    // A name left by a killed process with the same id is skipped.
    for (int attempt = 0; attempt < 100 && !fd_; ++attempt) {
      path_ = stem + std::to_string(counter.fetch_add(1));
      fd_ = UniqueFd(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
      if (!fd_ && errno != EEXIST) break;
    }
    if (!fd_) path_.clear();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  int fd() const { return fd_.get(); }
  bool valid() const { return static_cast<bool>(fd_); }

  bool write_and_flush(std::string_view content) const { return write_all(fd(), content) && ::fsync(fd()) == 0; }

  bool rename_over(const std::string& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

  // Fails with EEXIST when the target is there.
  bool rename_to_new(const std::string& target) {
    int moved = ::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
      // File systems without the no-replace rename: a hard link is created only where nothing is.
      moved = ::link(path_.c_str(), target.c_str());
      if (moved != 0) return false;
      ::unlink(path_.c_str());
    } else if (moved != 0) {
      return false;
    }
    path_.clear();
    return true;
  }

 private:
  std::string path_;
  UniqueFd fd_;
};

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

int UniqueFd::release() noexcept {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

std::optional<LockedProfileFile> LockedProfileFile::open(const char* path, Access access) {
  const int flags = (access == Access::kWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  const int lock = access == Access::kWrite ? LOCK_EX : LOCK_SH;
  // A writer renames a new file over the one we wait on; after the wait the
  // lock must be on the file that the path names now, or we start again.
  for (;;) {
    struct stat named {};
    if (::stat(path, &named) != 0 || !S_ISREG(named.st_mode)) return std::nullopt;  // never open a pipe or device
    UniqueFd fd(::open(path, flags));
    if (!fd) return std::nullopt;
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) return std::nullopt;
    while (::flock(fd.get(), lock) != 0)
      if (errno != EINTR) return std::nullopt;
    struct stat current {};
    if (::stat(path, &current) == 0 && same_file(current, opened)) return LockedProfileFile(std::move(fd), path);
  }
}

std::optional<std::string> LockedProfileFile::read() const {
  std::string content;
  struct stat info {};
  if (::fstat(fd_.get(), &info) == 0 && info.st_size > 0) content.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[1 << 16];
  for (off_t offset = 0;;) {
    const ssize_t count = ::pread(fd_.get(), chunk, sizeof chunk, offset);
    if (count < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (count == 0) return content;
    content.append(chunk, static_cast<std::size_t>(count));
    offset += count;
  }
}

bool LockedProfileFile::replace(std::string_view content) const {
  struct stat old_file {};
  if (::fstat(fd_.get(), &old_file) != 0) return false;
  const std::string target = resolved_path(path_);
  TemporaryFile temporary(target);
  if (!temporary.valid()) return false;
  if (::fchmod(temporary.fd(), old_file.st_mode & 07777) != 0) return false;
  // Only a privileged process can give the file away; otherwise the copy
  // stays ours, as any rewrite by us would leave it.
  [[maybe_unused]] const int owner_kept = ::fchown(temporary.fd(), old_file.st_uid, old_file.st_gid);
  return temporary.write_and_flush(content) && temporary.rename_over(target);
}

Creation create_profile_file(const char* path, std::string_view content) {
  TemporaryFile temporary(path);
  if (!temporary.valid() || !temporary.write_and_flush(content)) return Creation::kFailed;
  if (temporary.rename_to_new(path)) return Creation::kCreated;
  return errno == EEXIST ? Creation::kAlreadyThere : Creation::kFailed;
}

}  // namespace automation::profile
