#include <sys/utsname.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "automation/folder_browser.hpp"
#include "automation/system_services.hpp"
#include "fake_program.hpp"
#include "scoped_config_home.hpp"

namespace automation {
namespace {

using testing_support::FakeProgram;
using testing_support::ScopedEnvironmentVariable;
using testing_support::TemporaryFolder;

TEST(SystemFolders, TextFitsTheRoomOrTheNeededSizeComesBack) {
  for (const auto& [function, folder] : {std::pair{&GetWindowsDirectoryA, std::string("/etc")},
                                         std::pair{&GetSystemDirectoryA, std::string("/usr/lib")}}) {
    const auto length = static_cast<UINT>(folder.size());
    char room[16];
    std::memset(room, '#', sizeof room);
    EXPECT_EQ(function(room, length), length + 1) << folder << ": no room for the NUL";
    EXPECT_EQ(room[0], '#') << folder;
    EXPECT_EQ(function(nullptr, 0), length + 1) << folder;
    EXPECT_EQ(function(room, length + 1), length) << folder;
    EXPECT_STREQ(room, folder.c_str());
  }
}

TEST(ShortPath, AnExistingPathIsItsOwnShortForm) {
  const TemporaryFolder folder;
  // "č.txt": named in UTF-8 on disk, asked for in the ANSI code page.
  std::ofstream(folder.path() / "\u010D.txt") << "x";
  const std::string existing = folder.path().string() + "/\xE8.txt";
  char room[300];
  const auto length = static_cast<DWORD>(existing.size());
  EXPECT_EQ(GetShortPathNameA(existing.c_str(), room, sizeof room), length);
  EXPECT_STREQ(room, existing.c_str());
  EXPECT_EQ(GetShortPathNameA(folder.path().c_str(), room, sizeof room), folder.path().string().size());

  std::memset(room, '#', sizeof room);
  EXPECT_EQ(GetShortPathNameA(existing.c_str(), room, length), length + 1) << "too small: the size needed";
  EXPECT_EQ(room[0], '#') << "and nothing written";

  const std::string missing = folder.path().string() + "/missing";
  for (const char* path : {missing.c_str(), "", static_cast<const char*>(nullptr)})
    EXPECT_EQ(GetShortPathNameA(path, room, sizeof room), 0u) << (path ? path : "(null)");
}

TEST(OsVersion, TheKernelReleaseFillsTheRecord) {
  OSVERSIONINFOA record{};
  for (const DWORD size : {0u, 156u}) {
    record.dwOSVersionInfoSize = size;
    EXPECT_EQ(GetVersionExA(&record), 0) << size;
  }
  EXPECT_EQ(GetVersionExA(nullptr), 0);
  record.dwOSVersionInfoSize = sizeof record;
  ASSERT_NE(GetVersionExA(&record), 0);

  utsname system{};
  ASSERT_EQ(uname(&system), 0);
  unsigned major = 0, minor = 0, build = 0;
  std::sscanf(system.release, "%u.%u.%u", &major, &minor, &build);
  EXPECT_EQ(record.dwOSVersionInfoSize, 148u);
  EXPECT_EQ(record.dwMajorVersion, major);
  EXPECT_EQ(record.dwMinorVersion, minor);
  EXPECT_EQ(record.dwBuildNumber, build);
  EXPECT_EQ(record.dwPlatformId, VER_PLATFORM_LINUX);
  EXPECT_EQ(std::string(record.szCSDVersion), std::string(system.version).substr(0, 127));
}

TEST(OsVersion, AHostSourceReplacesTheKernelUntilRestored) {
  OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = sizeof record;
  set_version_source([](OSVERSIONINFOA& filled) {
    filled.dwMajorVersion = 5;
    filled.dwMinorVersion = 1;
    filled.dwBuildNumber = 2600;
    filled.dwPlatformId = VER_PLATFORM_WIN32_NT;
    filled.dwOSVersionInfoSize = 7;
    std::memset(filled.szCSDVersion, 'x', sizeof filled.szCSDVersion);  // no NUL
    return true;
  });
  ASSERT_NE(GetVersionExA(&record), 0);
  EXPECT_EQ(record.dwOSVersionInfoSize, 148u);
  EXPECT_EQ(record.dwBuildNumber, 2600u);
  EXPECT_EQ(std::strlen(record.szCSDVersion), 127u);
  set_version_source([](OSVERSIONINFOA&) { return false; });
  EXPECT_EQ(GetVersionExA(&record), 0);
  set_version_source(nullptr);
  ASSERT_NE(GetVersionExA(&record), 0);
  EXPECT_EQ(record.dwPlatformId, VER_PLATFORM_LINUX);
}

TEST(ScreenSaver, XsetSwitchesItInAnX11Session) {
  const ScopedEnvironmentVariable display("DISPLAY", ":99");
  {
    const FakeProgram xset("xset", 0);
    EXPECT_EQ(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(-1), nullptr, 0), 1);
    EXPECT_EQ(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0), 1);
    EXPECT_EQ(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE + 1, 0, nullptr, 0), 0) << "another action";
    EXPECT_EQ(xset.calls(), "s on\ns off\n");
  }
  {
    const FakeProgram failing("xset", 1);
    EXPECT_EQ(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0), 0);
    EXPECT_EQ(failing.calls(), "s off\n");
  }
}

TEST(ScreenSaver, ThePlatformRefusesWithoutADisplayOrWithoutXset) {
  {
    const FakeProgram xset("xset", 0);
    for (const std::optional<std::string>& value : {std::optional<std::string>(), std::optional<std::string>("")}) {
      const ScopedEnvironmentVariable display("DISPLAY", value);
      EXPECT_EQ(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0), 0);
    }
    EXPECT_EQ(xset.calls(), "") << "not even started";
  }
  const TemporaryFolder empty;
  const ScopedEnvironmentVariable display("DISPLAY", ":99");
  const ScopedEnvironmentVariable path("PATH", empty.path().string());
  EXPECT_EQ(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0), 0);
}

std::optional<std::string> browse_and_read_path() {
  BROWSEINFOA description{};
  const ItemIdList item(SHBrowseForFolder(&description));
  if (!item) return std::nullopt;
  char room[MAX_PATH];
  std::memset(room, '#', sizeof room);
  if (SHGetPathFromIDList(item.get(), room) == 0) return "(no path)";
  return std::string(room);
}

TEST(FolderBrowser, TheHostPickerDecides) {
  const std::string long_path(MAX_PATH, 'a');
  const std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> cases = {
      {"/home/user/Projekti", "/home/user/Projekti"},
      {"/home/\u010D", "/home/\xE8"},  // "č" in the ANSI code page
      {std::nullopt, std::nullopt},
      {"", std::nullopt},
      {"/home/\u4E2D", "(no path)"},  // not in the code page
      {"/" + long_path.substr(1), "(no path)"},
      {"/" + long_path.substr(2), "/" + long_path.substr(2)},
  };
  for (const auto& [picked, expected] : cases) {
    set_folder_picker_handler([&picked] { return picked; });
    EXPECT_EQ(browse_and_read_path(), expected) << picked.value_or("(cancel)");
  }
  set_folder_picker_handler(nullptr);
}

TEST(FolderBrowser, ZenityShowsTheDialogInAGraphicalSession) {
  const ScopedEnvironmentVariable display("DISPLAY", ":99");
  {
    const FakeProgram zenity("zenity", 0, "/home/user/Izbor\n");
    EXPECT_EQ(browse_and_read_path(), "/home/user/Izbor");
    EXPECT_EQ(zenity.calls(), "--file-selection --directory\n");
  }
  const FakeProgram cancelled("zenity", 1);
  EXPECT_EQ(browse_and_read_path(), std::nullopt);
}

TEST(FolderBrowser, WithoutAGraphicalSessionTheBrowserCancels) {
  const FakeProgram zenity("zenity", 0, "/home/user/Izbor\n");
  const ScopedEnvironmentVariable display("DISPLAY", std::nullopt);
  const ScopedEnvironmentVariable wayland("WAYLAND_DISPLAY", std::nullopt);
  EXPECT_EQ(browse_and_read_path(), std::nullopt);
  EXPECT_EQ(zenity.calls(), "");
}

}  // namespace
}  // namespace automation
