#include "memory_available.hpp"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace krelvo {
namespace {

// v1 reports "no limit" as a huge number (the largest page multiple below
// 2^63); anything from 2^62 up is no limit in practice.
constexpr uint64_t kNoLimitFrom = uint64_t{1} << 62;

std::optional<uint64_t> read_limit(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string text;
  if (!(in >> text) || text == "max") return std::nullopt;
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value >= kNoLimitFrom) return std::nullopt;
  return value;
}

// The limit of the cgroup at `relative` below `root` or of any ancestor up to `root`.
std::optional<uint64_t> lowest_limit_up_the_tree(const std::filesystem::path& root, std::string_view relative,
                                                 const char* file_name) {
  std::optional<uint64_t> lowest;
  std::filesystem::path folder = root;
  const auto consider = [&] {
    if (const auto limit = read_limit(folder / file_name)) lowest = std::min(lowest.value_or(*limit), *limit);
  };
  consider();
  std::string_view rest = relative;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    // A path part that would climb out of the mount is no cgroup of ours.
    if (part.empty() || part == ".") continue;
    if (part == "..") return lowest;
    folder /= std::string(part);
    consider();
  }
  return lowest;
}

bool lists_memory_controller(std::string_view controllers) {
  while (!controllers.empty()) {
    const std::size_t comma = controllers.find(',');
    if (controllers.substr(0, comma) == "memory") return true;
    if (comma == std::string_view::npos) break;
    controllers.remove_prefix(comma + 1);
  }
  return false;
}

}  // namespace

std::optional<uint64_t> cgroup_memory_limit(std::string_view proc_self_cgroup,
                                            const std::filesystem::path& mount_root) {
  std::optional<uint64_t> lowest;
  const auto take = [&lowest](std::optional<uint64_t> limit) {
    if (limit) lowest = std::min(lowest.value_or(*limit), *limit);
  };
  std::istringstream lines{std::string(proc_self_cgroup)};
  std::string line;
  while (std::getline(lines, line)) {
    // hierarchy-id:controllers:path
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string::npos ? std::string::npos : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    const std::string_view view(line);
    const std::string_view hierarchy = view.substr(0, first);
    const std::string_view controllers = view.substr(first + 1, second - first - 1);
    const std::string_view path = view.substr(second + 1);
    if (hierarchy == "0" && controllers.empty())
      take(lowest_limit_up_the_tree(mount_root, path, "memory.max"));
    else if (lists_memory_controller(controllers))
      take(lowest_limit_up_the_tree(mount_root / "memory", path, "memory.limit_in_bytes"));
  }
  return lowest;
}

uint64_t memory_available_bytes() {
  static const uint64_t available = [] {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    uint64_t physical = pages > 0 && page_size > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(page_size)
                                                   : uint64_t{4} << 30;
    std::ifstream in("/proc/self/cgroup");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (const auto limit = cgroup_memory_limit(text, "/sys/fs/cgroup")) physical = std::min(physical, *limit);
    return physical;
  }();
  return available;
}

}  // namespace krelvo
