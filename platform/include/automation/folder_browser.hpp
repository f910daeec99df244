// The shell's folder browser. A host may put its own picker in place (a
// Python host offers automation.set_folder_picker); otherwise, in a graphical
// session with zenity installed, zenity's folder dialog is shown; otherwise
// the browser is cancelled at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "automation/runtime_api.hpp"
#include "automation/system_services.hpp"

namespace automation {

using HWND = uintptr_t;
using LPARAM = intptr_t;
using BFFCALLBACK = int32_t (*)(HWND window, UINT message, LPARAM parameter, LPARAM data);

inline constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
inline constexpr UINT BIF_DONTGOBELOWDOMAIN = 0x0002;
inline constexpr std::size_t MAX_PATH = 260;

// The identifier of a chosen item; only the functions below look inside.
struct ITEMIDLIST;

// Owner, root, display-name room, flags and callback are accepted and
// ignored: the picker always shows the file system's folders.
struct BROWSEINFOA {
  HWND hwndOwner = 0;
  const ITEMIDLIST* pidlRoot = nullptr;
  char* pszDisplayName = nullptr;
  const char* lpszTitle = nullptr;  // the dialog's title, when given
  UINT ulFlags = 0;
  BFFCALLBACK lpfn = nullptr;
  LPARAM lParam = 0;
  int32_t iImage = 0;
};

// The chosen folder, null when the user cancels. Free it with ILFree.
AUTOMATION_RUNTIME_API ITEMIDLIST* SHBrowseForFolder(BROWSEINFOA* info);
// Writes the folder's path and a NUL into a room of MAX_PATH characters;
// FALSE, writing nothing, when the path does not fit the room or holds a
// character the ANSI code page lacks (a wrong path is worse than none).
AUTOMATION_RUNTIME_API BOOL SHGetPathFromIDList(const ITEMIDLIST* item, char* path);
AUTOMATION_RUNTIME_API void ILFree(ITEMIDLIST* item);

struct ItemIdListFree {
  void operator()(ITEMIDLIST* item) const noexcept { ILFree(item); }
};
using ItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListFree>;

// The host's picker: a folder path in UTF-8, or nullopt when the user cancels.
using FolderPickerHandler = std::function<std::optional<std::string>()>;
// An empty handler restores the default (zenity, or cancel).
AUTOMATION_RUNTIME_API void set_folder_picker_handler(FolderPickerHandler handler);

}  // namespace automation
