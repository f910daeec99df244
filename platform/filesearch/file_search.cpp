#include "automation/file_search.hpp"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <memory>

namespace automation {
namespace {

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

bool is_ordinary_file(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// fnmatch reads "[...]" as a set of characters; here '[' is a plain character.
std::string with_literal_brackets(std::string_view name_pattern) {
  std::string pattern;
  pattern.reserve(name_pattern.size());
  for (const char character : name_pattern) {
    if (character == '[')
      pattern.append("[[]");
    else
      pattern.push_back(character);
  }
  return pattern;
}

}  // namespace

std::optional<std::string> find_first_ordinary_file(std::string_view pattern) {
  const auto slash = pattern.rfind('/');
  const std::string_view prefix = slash == std::string_view::npos ? std::string_view() : pattern.substr(0, slash + 1);
  const std::string_view name_pattern = pattern.substr(prefix.size());
  if (name_pattern.empty()) return std::nullopt;
  if (name_pattern.find_first_of("*?") == std::string_view::npos) {
    std::string path(pattern);
    if (is_ordinary_file(path)) return path;
    return std::nullopt;
  }

  const std::string folder = prefix.empty() ? "." : std::string(prefix);
  const std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(folder.c_str()));
  if (!directory) return std::nullopt;
  const std::string name_matcher = with_literal_brackets(name_pattern);
  while (const dirent* entry = ::readdir(directory.get())) {
    if (::fnmatch(name_matcher.c_str(), entry->d_name, FNM_PERIOD | FNM_NOESCAPE) != 0) continue;
    std::string path = std::string(prefix) + entry->d_name;
    if (is_ordinary_file(path)) return path;
  }
  return std::nullopt;
}

}  // namespace automation
