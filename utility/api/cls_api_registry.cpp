// clsAPI's registry strings: read, write and delete values below a key that
// the host supplies. Every key a method opens is closed on every path.
#include <algorithm>
#include <vector>

#include "automation/registry.hpp"
#include "automation/registry_key.hpp"
#include "drumel/clsAPI.hpp"
#include "neutral_result.hpp"
#include "platform_text.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::DWORD;
using automation::HKEY;

Bstr empty_text() { return Bstr(u""); }

// Hosts hold handles in a signed 32-bit integer; the predefined roots are
// negative there.
HKEY as_handle(int32_t hKey) { return static_cast<HKEY>(hKey); }

Bstr read_text_value(HKEY key, const char* name, DWORD size) {
  std::string room(size, '\0');
  DWORD room_size = size;
  DWORD type = 0;
  if (automation::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<uint8_t*>(room.data()), &room_size) !=
      automation::ERROR_SUCCESS)
    return empty_text();
  return api::nul_cut(room);
}

// Only the first two bytes count, least significant first; the whole value
// is read into a room of its own size, so a longer one cannot overrun it.
Bstr read_binary_value(HKEY key, const char* name, DWORD size) {
  std::vector<uint8_t> room(std::max<DWORD>(size, 2), 0);
  DWORD room_size = size;
  DWORD type = 0;
  if (automation::RegQueryValueExA(key, name, nullptr, &type, room.data(), &room_size) != automation::ERROR_SUCCESS)
    return empty_text();
  const auto number = static_cast<int16_t>(room[0] | room[1] << 8);
  return Bstr(api::decimal(number));
}

Bstr query_string_value(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (automation::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != automation::ERROR_SUCCESS)
    return empty_text();
  if (type == automation::REG_SZ) return read_text_value(key, name, size);
  if (type == automation::REG_BINARY) return read_binary_value(key, name, size);
  return empty_text();
}

}  // namespace

Bstr clsAPI::RegQueryStringValue(int32_t hKey, const Bstr& strValueName) {
  return api::or_neutral(empty_text(), [&] {
    Bstr name = strValueName;  // taken by value: its write-back stays here
    const api::AnsiArgument ansi_name(name);
    return query_string_value(as_handle(hKey), ansi_name.c_str());
  });
}

automation::Variant clsAPI::GetString(int32_t& hKey, Bstr& strPath, Bstr& strValue) {
  return api::or_neutral(automation::Variant(empty_text()), [&] {
    const api::AnsiArgument path(strPath);
    const api::AnsiArgument value(strValue);
    // A subkey that cannot be opened leaves the handle 0, which every later
    // call refuses: the result is then the empty string.
    automation::RegistryKey key;
    automation::RegOpenKeyA(as_handle(hKey), path.c_str(), key.receive());
    return automation::Variant(query_string_value(key.get(), value.c_str()));
  });
}

void clsAPI::SaveString(int32_t& hKey, Bstr& strPath, Bstr& strValue, Bstr& strData) {
  api::ignoring_failures([&] {
    const api::AnsiArgument path(strPath);
    const api::AnsiArgument value(strValue);
    const api::AnsiArgument data(strData);
    automation::RegistryKey key;
    automation::RegCreateKeyA(as_handle(hKey), path.c_str(), key.receive());
    // The byte count is the text's characters: no terminating NUL is stored.
    automation::RegSetValueExA(key.get(), value.c_str(), 0, automation::REG_SZ,
                               reinterpret_cast<const uint8_t*>(data.c_str()), static_cast<DWORD>(data.text().size()));
  });
}

void clsAPI::DelSetting(int32_t& hKey, Bstr& strPath, Bstr& strValue) {
  api::ignoring_failures([&] {
    const api::AnsiArgument path(strPath);
    const api::AnsiArgument value(strValue);
    // Opened with create, so a missing subkey is left behind, empty.
    automation::RegistryKey key;
    automation::RegCreateKeyA(as_handle(hKey), path.c_str(), key.receive());
    automation::RegDeleteValueA(key.get(), value.c_str());
  });
}

}  // namespace drumel
