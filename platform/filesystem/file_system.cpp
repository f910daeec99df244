#include "automation/file_system.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>

namespace automation {
namespace {

// Interrupted calls are repeated here, so no caller has to.
template <class Call>
auto retrying(Call call) {
  while (true) {
    const auto result = call();
    if (result >= 0) return static_cast<decltype(result)>(result);
    if (errno != EINTR) return static_cast<decltype(result)>(-errno);
  }
}

FileStatus status_of(const struct stat& native) {
  return FileStatus{.size = static_cast<int64_t>(native.st_size),
                    .mode = static_cast<uint32_t>(native.st_mode),
                    .device = static_cast<uint64_t>(native.st_dev),
                    .inode = static_cast<uint64_t>(native.st_ino),
                    .owner = static_cast<uint32_t>(native.st_uid),
                    .group = static_cast<uint32_t>(native.st_gid)};
}

int rename_without_replacing(const char* from, const char* to) {
  const int moved = retrying([&] { return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE); });
  if (moved != -EINVAL && moved != -ENOSYS) return moved;
  // File systems without the no-replace rename: a hard link is made only where nothing is.
  const int linked = retrying([&] { return ::link(from, to); });
  if (linked < 0) return linked;
  ::unlink(from);
  return 0;
}

int link_anonymous_file(int file, const char* to) {
  const std::string by_path = "/proc/self/fd/" + std::to_string(file);
  const int linked = retrying([&] { return ::linkat(AT_FDCWD, by_path.c_str(), AT_FDCWD, to, AT_SYMLINK_FOLLOW); });
  if (linked != -ENOENT) return linked;
  // Without /proc mounted: the descriptor itself, which needs privilege.
  return retrying([&] { return ::linkat(file, "", AT_FDCWD, to, AT_EMPTY_PATH); });
}

FileSystem make_native_file_system() {
  FileSystem native;
  native.open = [](const char* path, int flags, uint32_t permissions) {
    return retrying([&] { return ::open(path, flags | O_CLOEXEC, static_cast<mode_t>(permissions)); });
  };
  // Linux releases the descriptor even when close reports an error, so it is
  // never repeated.
  native.close = [](int file) { return ::close(file) == 0 ? 0 : -errno; };
  native.read = [](int file, void* buffer, std::size_t count, int64_t offset) -> int64_t {
    return retrying([&] { return ::pread(file, buffer, count, static_cast<off_t>(offset)); });
  };
  native.write = [](int file, const void* data, std::size_t count, int64_t offset) -> int64_t {
    if (offset < 0) return retrying([&] { return ::write(file, data, count); });
    return retrying([&] { return ::pwrite(file, data, count, static_cast<off_t>(offset)); });
  };
  native.flush = [](int file) { return retrying([&] { return ::fsync(file); }); };
  native.truncate = [](int file, int64_t length) {
    return retrying([&] { return ::ftruncate(file, static_cast<off_t>(length)); });
  };
  native.chmod = [](int file, uint32_t permissions) {
    return retrying([&] { return ::fchmod(file, static_cast<mode_t>(permissions)); });
  };
  native.fstat = [](int file, FileStatus& status) {
    struct stat native_status {};
    const int result = retrying([&] { return ::fstat(file, &native_status); });
    if (result == 0) status = status_of(native_status);
    return result;
  };
  native.stat = [](const char* path, FileStatus& status) {
    struct stat native_status {};
    const int result = retrying([&] { return ::stat(path, &native_status); });
    if (result == 0) status = status_of(native_status);
    return result;
  };
  native.rename = [](const char* from, const char* to) { return retrying([&] { return ::rename(from, to); }); };
  native.rename_no_replace = rename_without_replacing;
  native.remove = [](const char* path) { return retrying([&] { return ::unlink(path); }); };
  native.lock = [](int file, int operation) { return retrying([&] { return ::flock(file, operation); }); };
  native.chown = [](int file, uint32_t owner, uint32_t group) {
    return retrying([&] { return ::fchown(file, static_cast<uid_t>(owner), static_cast<gid_t>(group)); });
  };
  native.link_anonymous = link_anonymous_file;
  return native;
}

std::mutex table_mutex;
std::shared_ptr<const FileSystem>& current_table() {
  static std::shared_ptr<const FileSystem> table = std::make_shared<const FileSystem>(native_file_system());
  return table;
}

template <class Function>
void fill_gap(Function& entry, const Function& native) {
  if (!entry) entry = native;
}

}  // namespace

const FileSystem& native_file_system() {
  static const FileSystem native = make_native_file_system();
  return native;
}

std::shared_ptr<const FileSystem> shared_native_file_system() {
  // Aliasing a static: nothing to free.
  return std::shared_ptr<const FileSystem>(std::shared_ptr<const FileSystem>(), &native_file_system());
}

std::shared_ptr<const FileSystem> file_system() {
  std::lock_guard lock(table_mutex);
  return current_table();
}

void set_file_system(std::shared_ptr<const FileSystem> replacement) {
  auto table = std::make_shared<FileSystem>(replacement ? *replacement : native_file_system());
  const FileSystem& native = native_file_system();
  fill_gap(table->open, native.open);
  fill_gap(table->close, native.close);
  fill_gap(table->read, native.read);
  fill_gap(table->write, native.write);
  fill_gap(table->flush, native.flush);
  fill_gap(table->truncate, native.truncate);
  fill_gap(table->chmod, native.chmod);
  fill_gap(table->fstat, native.fstat);
  fill_gap(table->stat, native.stat);
  fill_gap(table->rename, native.rename);
  fill_gap(table->rename_no_replace, native.rename_no_replace);
  fill_gap(table->remove, native.remove);
  fill_gap(table->lock, native.lock);
  fill_gap(table->chown, native.chown);
  fill_gap(table->link_anonymous, native.link_anonymous);
  std::lock_guard lock(table_mutex);
  current_table() = std::move(table);
}

}  // namespace automation
