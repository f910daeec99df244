#include <sys/utsname.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "automation/hook_slot.hpp"
#include "automation/system_services.hpp"

namespace automation {
namespace {

HookSlot<VersionSource> version_source;

// "6.1.0-18-amd64" gives 6, 1 and 0; a missing number is 0.
void parse_release(std::string_view release, OSVERSIONINFOA& record) {
  DWORD* const fields[] = {&record.dwMajorVersion, &record.dwMinorVersion, &record.dwBuildNumber};
  const char* position = release.data();
  const char* const end = release.data() + release.size();
  for (DWORD* field : fields) {
    const auto [next, error] = std::from_chars(position, end, *field);
    if (error != std::errc()) return;
    if (next == end || *next != '.') return;
    position = next + 1;
  }
}

bool from_kernel(OSVERSIONINFOA& record) {
  utsname system{};
  if (::uname(&system) != 0) return false;
  parse_release(system.release, record);
  record.dwPlatformId = VER_PLATFORM_LINUX;
  const std::string_view version(system.version);
  const std::size_t length = std::min(version.size(), sizeof record.szCSDVersion - 1);
  std::memcpy(record.szCSDVersion, version.data(), length);
  return true;
}

}  // namespace

void set_version_source(VersionSource source) { version_source.set(std::move(source)); }

BOOL GetVersionExA(OSVERSIONINFOA* record) {
  if (record == nullptr || record->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return 0;
  OSVERSIONINFOA filled{};
  filled.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  const auto source = version_source.get();
  if (!(source ? (*source)(filled) : from_kernel(filled))) return 0;
  // The source cannot change the size field the caller relies on.
  filled.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  filled.szCSDVersion[sizeof filled.szCSDVersion - 1] = '\0';
  *record = filled;
  return 1;
}

}  // namespace automation
