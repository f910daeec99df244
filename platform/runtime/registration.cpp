#include "automation/server_registration.hpp"

#include <dlfcn.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "automation/registry.hpp"
#include "automation/registry_key.hpp"
#include "automation/registry_store.hpp"

namespace automation {
namespace {

struct DefaultValue {
  std::string key;
  std::string text;
};

std::string version_of(const LibraryInfo& library) {
  return std::to_string(library.major_version) + "." + std::to_string(library.minor_version);
}

// Parents before children, so unregistering walks the list backwards.
std::vector<DefaultValue> registration_entries(const LibraryInfo& library, const std::string& path) {
  const std::string version = version_of(library);
  std::vector<DefaultValue> entries;
  for (const ClassInfo* info : library.classes) {
    const std::string prog_id = info->prog_id();
    const std::string class_key = "CLSID\\" + info->clsid;
    entries.push_back({prog_id, info->name});
    entries.push_back({prog_id + "\\CLSID", info->clsid});
    entries.push_back({class_key, prog_id});
    entries.push_back({class_key + "\\ProgID", prog_id});
    entries.push_back({class_key + "\\InprocServer32", path});
    entries.push_back({class_key + "\\TypeLib", library.libid});
    entries.push_back({class_key + "\\Version", version});
  }
  const std::string library_key = "TypeLib\\" + library.libid;
  entries.push_back({library_key, library.name});
  entries.push_back({library_key + "\\" + version, library.name});
  entries.push_back({library_key + "\\" + version + "\\0", ""});
  entries.push_back({library_key + "\\" + version + "\\0\\linux", path});
  return entries;
}

LONG write_default(const DefaultValue& entry) {
  RegistryKey key;
  if (const LONG result = RegCreateKeyA(HKEY_CLASSES_ROOT, entry.key.c_str(), key.receive()); result != ERROR_SUCCESS)
    return result;
  return RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const uint8_t*>(entry.text.c_str()),
                        static_cast<DWORD>(entry.text.size() + 1));
}

std::optional<std::string> read_default(const std::string& path) {
  RegistryKey key;
  if (RegOpenKeyA(HKEY_CLASSES_ROOT, path.c_str(), key.receive()) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
    return std::nullopt;
  std::string text(size, '\0');
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<uint8_t*>(text.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  text.resize(text.find('\0') == std::string::npos ? size : text.find('\0'));
  return text;
}

bool store_exists() {
  try {
    std::error_code error;
    return std::filesystem::exists(registry_store_path(), error);
  } catch (const std::exception&) {
    return false;  // no home folder: no store either
  }
}

}  // namespace

int32_t register_server(const LibraryInfo& library, const std::string& library_path) {
  for (const DefaultValue& entry : registration_entries(library, library_path))
    if (const LONG result = write_default(entry); result != ERROR_SUCCESS) return result;
  return ERROR_SUCCESS;
}

int32_t unregister_server(const LibraryInfo& library) {
  const std::vector<DefaultValue> entries = registration_entries(library, {});
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    const LONG result = RegDeleteKeyA(HKEY_CLASSES_ROOT, entry->key.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return result;
  }
  return ERROR_SUCCESS;
}

std::string registered_server_path(std::string_view name) {
  if (name.empty() || !store_exists()) return {};
  std::optional<std::string> clsid =
      name.starts_with('{') ? std::optional<std::string>(name) : read_default(std::string(name) + "\\CLSID");
  if (!clsid) return {};
  return read_default("CLSID\\" + *clsid + "\\InprocServer32").value_or("");
}

std::string library_path_of(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
  return std::filesystem::absolute(info.dli_fname).string();
}

}  // namespace automation
