// The calls a host makes on the Drumel classes, with plain strings in and
// out, for the reliability tests that make them by the thousand.
#pragma once

#include <filesystem>
#include <string>

#include "automation/bstr.hpp"
#include "automation/registry.hpp"
#include "automation/variant.hpp"
#include "drumel.hpp"

namespace reliability {

using automation::Bstr;

inline Bstr text(const std::string& utf8) { return Bstr::from_utf8(utf8); }
inline Bstr text(const char* utf8) { return Bstr::from_utf8(utf8); }
inline Bstr text(const std::filesystem::path& path) { return Bstr::from_utf8(path.string()); }

inline constexpr auto kCurrentUser = static_cast<int32_t>(automation::HKEY_CURRENT_USER);

inline void save_string(drumel::clsAPI& api, const std::string& path, const std::string& name,
                        const std::string& data) {
  int32_t key = kCurrentUser;
  Bstr path_text = text(path);
  Bstr name_text = text(name);
  Bstr data_text = text(data);
  api.SaveString(key, path_text, name_text, data_text);
}

inline void del_setting(drumel::clsAPI& api, const std::string& path, const std::string& name) {
  int32_t key = kCurrentUser;
  Bstr path_text = text(path);
  Bstr name_text = text(name);
  api.DelSetting(key, path_text, name_text);
}

// The text GetString gives; "(no string)" when its variant holds none.
inline std::string get_string(drumel::clsAPI& api, const std::string& path, const std::string& name) {
  int32_t key = kCurrentUser;
  Bstr path_text = text(path);
  Bstr name_text = text(name);
  const automation::Variant found = api.GetString(key, path_text, name_text);
  const auto* value = found.get_if<Bstr>();
  return value != nullptr ? value->to_utf8() : "(no string)";
}

inline bool save_text(drumel::clsFile& file, const std::string& content, const std::filesystem::path& path) {
  Bstr content_text = text(content);
  Bstr name = text(path);
  return static_cast<bool>(file.SaveText(content_text, name));
}

inline std::string load_text(drumel::clsFile& file, const std::filesystem::path& path) {
  Bstr name = text(path);
  return file.LoadText(name).to_utf8();
}

inline int32_t crc32_file(drumel::clsFile& file, const std::filesystem::path& path, bool check, bool add) {
  Bstr name = text(path);
  return file.CRC32File(name, automation::VariantBool::from(check), automation::VariantBool::from(add));
}

inline void add_to_ini(drumel::clsINI& ini, const std::string& section, const std::string& key,
                       const std::string& value, const std::filesystem::path& path) {
  ini.AddToINI(text(section), text(key), text(value), text(path));
}

inline std::string get_key_val(drumel::clsINI& ini, const std::string& section, const std::string& key,
                               const std::string& fallback, const std::filesystem::path& path) {
  Bstr default_text = text(fallback);
  return ini.GetKeyVal(text(section), text(key), default_text, text(path)).to_utf8();
}

}  // namespace reliability
