#include "temporary_names.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>
#include <random>
#include <string_view>

namespace automation {
namespace {

// Leaves room for the dot, the process id, the random part and the suffix
// under the 255 bytes a name may have.
constexpr std::size_t kNameRoom = 200;
constexpr std::string_view kSuffix = ".tmp";

std::string prefix_of(const PathParts& target) { return "." + target.name.substr(0, kNameRoom) + "."; }

// The writer's process id in "<pid>-<16 hex digits>", or 0 when the name is
// not one of ours.
pid_t writer_of(std::string_view middle) {
  const std::size_t dash = middle.find('-');
  if (dash == std::string_view::npos || middle.size() - dash - 1 != 16) return 0;
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(middle.data(), middle.data() + dash, pid);
  if (error != std::errc() || end != middle.data() + dash || pid <= 0) return 0;
  return pid;
}

struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

bool is_gone(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

PathParts split_path(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string temporary_path(const PathParts& target) {
  std::random_device random;
  char tail[40];
  std::snprintf(tail, sizeof tail, "%d-%08x%08x", static_cast<int>(::getpid()), static_cast<unsigned>(random()),
                static_cast<unsigned>(random()));
  return target.folder + "/" + prefix_of(target) + tail + std::string(kSuffix);
}

void remove_stale_temporaries(const FileSystem& file_system, const PathParts& target) {
  const std::unique_ptr<DIR, FolderCloser> folder(::opendir(target.folder.c_str()));
  if (!folder) return;
  const std::string prefix = prefix_of(target);
  while (const dirent* entry = ::readdir(folder.get())) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix) || !name.ends_with(kSuffix) || name.size() < prefix.size() + kSuffix.size()) continue;
    const pid_t writer = writer_of(name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size()));
    if (writer == 0 || !is_gone(writer)) continue;
    struct stat status {};
    if (::fstatat(::dirfd(folder.get()), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) continue;
    file_system.remove((target.folder + "/" + entry->d_name).c_str());
  }
}

}  // namespace automation
