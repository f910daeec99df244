#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "automation/bstr.hpp"
#include "automation/code_page.hpp"
#include "automation/system_services.hpp"

namespace automation {
namespace {

constexpr std::string_view kWindowsFolder = "/etc";
constexpr std::string_view kSystemFolder = "/usr/lib";

// The platform's rule for a text result: the text and its NUL when the room
// holds both, with its length; else nothing written and the size needed.
template <class Size>
Size copy_to_room(std::string_view text, char* room, Size room_size) {
  const auto length = static_cast<Size>(text.size());
  if (room == nullptr || room_size <= length) return length + 1;
  std::memcpy(room, text.data(), text.size());
  room[length] = '\0';
  return length;
}

}  // namespace

UINT GetWindowsDirectoryA(char* room, UINT room_size) { return copy_to_room(kWindowsFolder, room, room_size); }

UINT GetSystemDirectoryA(char* room, UINT room_size) { return copy_to_room(kSystemFolder, room, room_size); }

DWORD GetShortPathNameA(const char* long_path, char* room, DWORD room_size) {
  if (long_path == nullptr || long_path[0] == '\0') return 0;
  const std::string_view path(long_path);
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::path(utf16_to_utf8(from_ansi(path))), error)) return 0;
  return copy_to_room(path, room, room_size);
}

}  // namespace automation
