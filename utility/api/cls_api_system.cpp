// clsAPI's system services: folder picker, screen saver, short paths, the OS
// version and the OS folders. Each is one platform call with a fixed room.
#include "automation/checked_math.hpp"
#include "automation/folder_browser.hpp"
#include "automation/host_hooks.hpp"
#include "automation/system_services.hpp"
#include "drumel/clsAPI.hpp"
#include "neutral_result.hpp"
#include "platform_text.hpp"

namespace drumel {
namespace {

using automation::Bstr;

constexpr std::size_t kShortPathRoom = 165;
constexpr automation::DWORD kShortPathRoomSize = 164;
constexpr automation::UINT kFolderRoom = 255;

Bstr empty_text() { return Bstr(u""); }

std::u16string platform_name(automation::DWORD platform_id) {
  switch (platform_id) {
    case automation::VER_PLATFORM_WIN32s:
      return u"Windows 32s";
    case automation::VER_PLATFORM_WIN32_WINDOWS:
      return u"Windows 95/98/Me";
    case automation::VER_PLATFORM_WIN32_NT:
      return u"Windows NT";
    default:
      return u"";
  }
}

template <class FolderFunction>
Bstr system_folder(FolderFunction folder_function) {
  return api::or_neutral(empty_text(), [&] {
    std::string room(kFolderRoom, ' ');
    folder_function(room.data(), kFolderRoom);
    return api::nul_cut(room);
  });
}

}  // namespace

Bstr clsAPI::GetFolderName() {
  return api::or_neutral(empty_text(), [] {
    automation::BROWSEINFOA description{};
    description.ulFlags = automation::BIF_RETURNONLYFSDIRS | automation::BIF_DONTGOBELOWDOMAIN;
    const automation::ItemIdList item(automation::SHBrowseForFolder(&description));
    if (!item) return empty_text();
    // A path the platform could not write leaves the blanks without a NUL,
    // which cuts to the empty string.
    std::string room(automation::MAX_PATH, ' ');
    automation::SHGetPathFromIDList(item.get(), room.data());
    return api::nul_cut(room);
  });
}

int16_t clsAPI::ScreenSaverAktivan(automation::VariantBool& Aktivan) {
  return api::or_neutral(int16_t{0}, [&] {
    // True is passed as -1, the automation boolean, not as 1.
    const auto parameter = static_cast<automation::UINT>(Aktivan ? -1 : 0);
    const automation::BOOL result =
        automation::SystemParametersInfoA(automation::SPI_SETSCREENSAVEACTIVE, parameter, nullptr, 0);
    return automation::checked_narrow<int16_t>(result);
  });
}

Bstr clsAPI::DOSStaza(Bstr& WINStaza) {
  return api::or_neutral(empty_text(), [&] {
    const api::AnsiArgument path(WINStaza);
    std::string room(kShortPathRoom, '\0');
    const automation::DWORD length = automation::GetShortPathNameA(path.c_str(), room.data(), kShortPathRoomSize);
    // A short path that does not fit the room comes back as the size it
    // needs; a part of a path is never a path, so that is the empty string.
    if (length == 0 || length >= kShortPathRoomSize) return empty_text();
    return api::count_cut(room, length);
  });
}

void clsAPI::OSVerzija(Bstr& Plat, Bstr& Ver, Bstr& Build) {
  api::ignoring_failures([&] {
    automation::OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = sizeof record;
    if (automation::GetVersionExA(&record) == 0) {
      automation::message_box(Bstr(u"Error Getting Version Information"), automation::kMsgBoxNoIcon,
                              Bstr(kLibraryTitle));
      return;
    }
    // The record's numbers are read as signed 32-bit values.
    std::u16string version = api::with_sign_position(static_cast<int32_t>(record.dwMajorVersion)) + u"." +
                             api::decimal(static_cast<int32_t>(record.dwMinorVersion));
    std::u16string build = api::with_sign_position(static_cast<int32_t>(record.dwBuildNumber));
    Plat = Bstr(platform_name(record.dwPlatformId));
    Ver = Bstr(std::move(version));
    Build = Bstr(std::move(build));
  });
}

Bstr clsAPI::GetWindowsDir() { return system_folder(automation::GetWindowsDirectoryA); }

Bstr clsAPI::GetSystemDir() { return system_folder(automation::GetSystemDirectoryA); }

}  // namespace drumel
