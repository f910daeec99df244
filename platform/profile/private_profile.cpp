#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "automation/profile.hpp"
#include "profile_file.hpp"
#include "profile_parser.hpp"
#include "profile_writer.hpp"

namespace automation {
namespace {

using profile::LockedProfileFile;
using profile::ProfileDocument;
using profile::ProfileLine;
using profile::ProfileSection;
using profile::trim_blanks;
using profile::value_as_read;

constexpr BOOL kSucceeded = 1;
constexpr BOOL kFailed = 0;

// memcpy wants a real source pointer even for nothing to copy; an empty view may hold null.
void copy_bytes(char* to, std::string_view from, std::size_t count) {
  if (count > 0) std::memcpy(to, from.data(), count);
}

DWORD copy_text(std::string_view text, char* buffer, DWORD size) {
  const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
  copy_bytes(buffer, text, count);
  buffer[count] = '\0';
  return static_cast<DWORD>(count);
}

// Each name and its NUL, then the closing NUL; a list that does not fit is
// cut inside a name and ends in two NULs at the end of the buffer.
DWORD copy_list(const std::vector<std::string_view>& names, char* buffer, DWORD size) {
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::size_t used = 0;
  for (const std::string_view name : names) {
    if (used + name.size() + 2 > size) {
      const std::size_t room = size - 2 >= used ? size - 2 - used : 0;
      copy_bytes(buffer + used, name, std::min(room, name.size()));
      buffer[size - 2] = '\0';
      buffer[size - 1] = '\0';
      return size - 2;
    }
    copy_bytes(buffer + used, name, name.size());
    used += name.size();
    buffer[used++] = '\0';
  }
  buffer[used] = '\0';
  if (used == 0) buffer[1] = '\0';
  return static_cast<DWORD>(used);
}

std::string_view without_trailing_blanks(const char* text) {
  if (text == nullptr) return {};
  std::string_view view(text);
  const auto last = view.find_last_not_of(" \t");
  return last == std::string_view::npos ? std::string_view() : view.substr(0, last + 1);
}

std::string read_file(const char* file_name) {
  if (file_name == nullptr || *file_name == '\0') return {};
  const auto file = LockedProfileFile::open(file_name, LockedProfileFile::Access::kRead);
  if (!file) return {};
  return file->read().value_or(std::string());
}

// A dangling link counts as there: creating through it would go elsewhere.
bool file_exists(const char* file_name) {
  struct stat info {};
  return ::lstat(file_name, &info) == 0;
}

bool has_line_break(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Texts that cannot be stored in one line, or that would read back as
// something else: a key holding '=' splits differently, one starting with
// ';' or '[' reads as a comment or a section header, a value with blanks or
// quotes around it loses them.
bool is_storable(const char* section, const char* key, const char* value) {
  if (has_line_break(section)) return false;
  if (value != nullptr && (has_line_break(value) || value_as_read(value) != value)) return false;
  if (key == nullptr) return true;
  const std::string_view name = trim_blanks(key);
  return !name.empty() && !has_line_break(name) && name.find('=') == std::string_view::npos && name.front() != ';' &&
         name.front() != '[';
}

// A new file never gets a name with wildcard characters: a caller that found
// "*.ini" by pattern must not end up creating a file literally named so.
bool may_create(std::string_view file_name) {
  const auto slash = file_name.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? file_name : file_name.substr(slash + 1);
  return name.find_first_of("*?") == std::string_view::npos;
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* default_text, char* buffer, DWORD size,
                               const char* file_name) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string content = read_file(file_name);
  const ProfileDocument document(content);
  if (section == nullptr) return copy_list(document.section_names(), buffer, size);
  const ProfileSection* found = document.find_section(trim_blanks(section));
  if (key == nullptr) {
    if (found != nullptr) {
      const auto names = document.key_names(*found);
      if (!names.empty()) return copy_list(names, buffer, size);
    }
  } else if (found != nullptr) {
    if (const ProfileLine* entry = document.find_entry(*found, trim_blanks(key)))
      return copy_text(entry->value, buffer, size);
  }
  return copy_text(without_trailing_blanks(default_text), buffer, size);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file_name) {
  if (section == nullptr || file_name == nullptr || *file_name == '\0') return kFailed;
  if (!is_storable(section, key, value)) return kFailed;
  const std::string_view section_name = trim_blanks(section);
  const auto change = [&](const ProfileDocument& document) {
    if (key == nullptr) return profile::without_section(document, section_name);
    if (value == nullptr) return profile::without_key(document, section_name, trim_blanks(key));
    return profile::with_value(document, section_name, trim_blanks(key), value);
  };
  // Another writer may create the file between our look and our creation;
  // then the change goes into the file it made.
  for (;;) {
    if (const auto file = LockedProfileFile::open(file_name, LockedProfileFile::Access::kWrite)) {
      const auto content = file->read();
      if (!content) return kFailed;
      const auto updated = change(ProfileDocument(*content));
      if (!updated) return kSucceeded;
      return file->replace(*updated) ? kSucceeded : kFailed;
    }
    if (file_exists(file_name)) return kFailed;
    const bool adds = key != nullptr && value != nullptr;
    if (!adds) return kSucceeded;  // nothing to remove
    if (!may_create(file_name)) return kFailed;
    switch (profile::create_profile_file(file_name, *change(ProfileDocument(std::string_view())))) {
      case profile::Creation::kCreated:
        return kSucceeded;
      case profile::Creation::kAlreadyThere:
        continue;
      case profile::Creation::kFailed:
        return kFailed;
    }
  }
}

}  // namespace automation
