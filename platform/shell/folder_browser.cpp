#include "automation/folder_browser.hpp"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "automation/bstr.hpp"
#include "automation/child_process.hpp"
#include "automation/code_page.hpp"
#include "automation/hook_slot.hpp"

namespace automation {

struct ITEMIDLIST {
  std::string path;  // UTF-8
};

namespace {

HookSlot<FolderPickerHandler> folder_picker;

bool graphical_session() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* value = std::getenv(variable); value != nullptr && value[0] != '\0') return true;
  return false;
}

std::optional<std::string> pick_with_zenity(const char* ansi_title) {
  if (!graphical_session()) return std::nullopt;
  std::vector<std::string> arguments{"zenity", "--file-selection", "--directory"};
  if (ansi_title != nullptr && ansi_title[0] != '\0')
    arguments.push_back("--title=" + utf16_to_utf8(from_ansi(ansi_title)));
  auto outcome = run_program(arguments);
  // Exit 1 is the user's cancel; anything else but 0 a failure of the dialog.
  if (!outcome || outcome->exit_code != 0) return std::nullopt;
  std::string& path = outcome->output;
  if (path.ends_with('\n')) path.pop_back();
  return std::move(path);
}

}  // namespace

void set_folder_picker_handler(FolderPickerHandler handler) { folder_picker.set(std::move(handler)); }

ITEMIDLIST* SHBrowseForFolder(BROWSEINFOA* info) {
  const char* title = info != nullptr ? info->lpszTitle : nullptr;
  const auto handler = folder_picker.get();
  std::optional<std::string> chosen = handler ? (*handler)() : pick_with_zenity(title);
  if (!chosen || chosen->empty()) return nullptr;
  return new ITEMIDLIST{std::move(*chosen)};
}

BOOL SHGetPathFromIDList(const ITEMIDLIST* item, char* path) {
  if (item == nullptr || path == nullptr) return 0;
  const std::u16string text = utf8_to_utf16(item->path);
  const AnsiCodePage& code_page = ansi_code_page();
  for (const char16_t character : text)
    if (!code_page.contains(character)) return 0;
  const std::string ansi = to_ansi(text);
  if (ansi.size() >= MAX_PATH) return 0;
  std::memcpy(path, ansi.c_str(), ansi.size() + 1);
  return 1;
}

void ILFree(ITEMIDLIST* item) { delete item; }

}  // namespace automation
