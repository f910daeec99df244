// Stand-ins for the system functions the utility library calls: the screen
// saver switch, the OS version record, the OS folders and short path names.
// Strings are in the ANSI code page; rooms and results follow the platform's
// rules (a count without the NUL on success, the size needed when too small).
//
// What Linux gives in their place:
//   - the screen saver is switched with `xset s on|off` in an X11 session;
//   - the version comes from uname(): major and minor from the kernel
//     release, the build from its third number, VER_PLATFORM_LINUX as the
//     platform, the kernel's version text in szCSDVersion;
//   - the "Windows" folder is /etc (system-wide settings), the "system"
//     folder /usr/lib (the system's shared libraries);
//   - Linux has no short names: an existing path is its own short form.
#pragma once

#include <cstdint>
#include <functional>

#include "automation/runtime_api.hpp"

namespace automation {

using BOOL = int32_t;
using UINT = uint32_t;
using DWORD = uint32_t;

inline constexpr UINT SPI_SETSCREENSAVEACTIVE = 17;

// Non-zero on success. Only SPI_SETSCREENSAVEACTIVE is known; without an X11
// display or without xset the platform refuses (0). The change is never
// written to a profile, whatever the flags say.
AUTOMATION_RUNTIME_API BOOL SystemParametersInfoA(UINT action, UINT parameter, void* data, UINT flags);

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
// None of the platform's own identifiers (0 to 3).
inline constexpr DWORD VER_PLATFORM_LINUX = 4;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize = 0;
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// Fills the record's fields; false when the version cannot be told.
using VersionSource = std::function<bool(OSVERSIONINFOA& record)>;
// A host (or a test) may report another version; an empty source restores uname().
AUTOMATION_RUNTIME_API void set_version_source(VersionSource source);

// Non-zero on success; 0 for a record whose size field is not 148.
AUTOMATION_RUNTIME_API BOOL GetVersionExA(OSVERSIONINFOA* record);

AUTOMATION_RUNTIME_API UINT GetWindowsDirectoryA(char* room, UINT room_size);
AUTOMATION_RUNTIME_API UINT GetSystemDirectoryA(char* room, UINT room_size);

// The path itself when it exists; 0 when it does not.
AUTOMATION_RUNTIME_API DWORD GetShortPathNameA(const char* long_path, char* room, DWORD room_size);

}  // namespace automation
