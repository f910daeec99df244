// The registry functions over the store. Names arrive in the ANSI code page
// and are kept as Unicode (UTF-8), like the platform keeps them; data bytes
// are kept exactly as given. Every failure is a result code: nothing throws
// out of these functions.
#include <algorithm>
#include <new>
#include <string_view>

#include "automation/bstr.hpp"
#include "automation/code_page.hpp"
#include "automation/registry.hpp"
#include "registry_handles.hpp"

namespace automation {
namespace {

using registry_store::KeyId;
using registry_store::KeyPath;
using registry_store::OpenKey;
using registry_store::StoredValue;

template <class Body>
LONG guarded(Body body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}

std::string stored_name(std::string_view ansi_name) { return utf16_to_utf8(from_ansi(ansi_name)); }

// A null name is the key's default value, stored under the empty name.
std::string stored_value_name(const char* ansi_name) {
  return ansi_name != nullptr ? stored_name(ansi_name) : std::string();
}

// Key names separated by backslashes; one trailing backslash is allowed,
// any other empty name is not.
LONG parse_key_path(const char* sub_key, KeyPath& path) {
  if (sub_key == nullptr) return ERROR_SUCCESS;
  std::string_view rest(sub_key);
  if (rest.starts_with('\\')) return ERROR_INVALID_PARAMETER;
  if (rest.ends_with('\\')) rest.remove_suffix(1);
  if (rest.empty()) return ERROR_SUCCESS;
  while (true) {
    const std::size_t separator = rest.find('\\');
    const std::string_view name = rest.substr(0, separator);
    if (name.empty()) return ERROR_INVALID_PARAMETER;
    path.push_back(stored_name(name));
    if (separator == std::string_view::npos) return ERROR_SUCCESS;
    rest.remove_prefix(separator + 1);
  }
}

bool is_text_type(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

template <class KeyOperation>
LONG open_or_create(HKEY key, const char* sub_key, HKEY* result, KeyOperation operation) {
  return guarded([&] {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = 0;
    const std::optional<OpenKey> base = registry_store::find_open_key(key);
    if (!base) return ERROR_INVALID_HANDLE;
    KeyPath path;
    if (const LONG parsed = parse_key_path(sub_key, path); parsed != ERROR_SUCCESS) return parsed;
    KeyId found = 0;
    if (const LONG outcome = operation(*base->database, base->id, path, found); outcome != ERROR_SUCCESS)
      return outcome;
    // An empty path gets a handle of its own, never the caller's: closing it
    // must not close the handle the caller still holds.
    *result = registry_store::add_open_key(OpenKey{base->database, found});
    return ERROR_SUCCESS;
  });
}

}  // namespace

LONG RegOpenKeyA(HKEY key, const char* sub_key, HKEY* result) {
  return open_or_create(key, sub_key, result,
                        [](registry_store::RegistryDatabase& database, KeyId base, const KeyPath& path, KeyId& found) {
                          return database.open_key(base, path, found);
                        });
}

LONG RegCreateKeyA(HKEY key, const char* sub_key, HKEY* result) {
  return open_or_create(key, sub_key, result,
                        [](registry_store::RegistryDatabase& database, KeyId base, const KeyPath& path, KeyId& found) {
                          return database.create_key(base, path, found);
                        });
}

LONG RegQueryValueExA(HKEY key, const char* value_name, DWORD* reserved, DWORD* type, uint8_t* data, DWORD* data_size) {
  return guarded([&] {
    if (reserved != nullptr || (data != nullptr && data_size == nullptr)) return ERROR_INVALID_PARAMETER;
    const std::optional<OpenKey> open = registry_store::find_open_key(key);
    if (!open) return ERROR_INVALID_HANDLE;
    StoredValue value;
    if (const LONG outcome = open->database->read_value(open->id, stored_value_name(value_name), value);
        outcome != ERROR_SUCCESS)
      return outcome;
    // Text written without its terminating NUL still reads back as text.
    if (is_text_type(value.type) && (value.data.empty() || value.data.back() != 0)) value.data.push_back(0);
    if (type != nullptr) *type = value.type;
    const auto size = static_cast<DWORD>(value.data.size());
    if (data == nullptr) {
      if (data_size != nullptr) *data_size = size;
      return ERROR_SUCCESS;
    }
    const DWORD room = *data_size;
    *data_size = size;
    if (room < size) return ERROR_MORE_DATA;
    std::copy(value.data.begin(), value.data.end(), data);
    return ERROR_SUCCESS;
  });
}

LONG RegSetValueExA(HKEY key, const char* value_name, DWORD /*reserved*/, DWORD type, const uint8_t* data,
                    DWORD data_size) {
  return guarded([&] {
    if (data == nullptr && data_size != 0) return ERROR_INVALID_PARAMETER;
    const std::optional<OpenKey> open = registry_store::find_open_key(key);
    if (!open) return ERROR_INVALID_HANDLE;
    const std::span<const uint8_t> bytes = data != nullptr ? std::span(data, data_size) : std::span<const uint8_t>();
    return open->database->write_value(open->id, stored_value_name(value_name), type, bytes);
  });
}

LONG RegDeleteValueA(HKEY key, const char* value_name) {
  return guarded([&] {
    const std::optional<OpenKey> open = registry_store::find_open_key(key);
    if (!open) return ERROR_INVALID_HANDLE;
    return open->database->delete_value(open->id, stored_value_name(value_name));
  });
}

LONG RegDeleteKeyA(HKEY key, const char* sub_key) {
  return guarded([&] {
    const std::optional<OpenKey> base = registry_store::find_open_key(key);
    if (!base) return ERROR_INVALID_HANDLE;
    KeyPath path;
    if (const LONG parsed = parse_key_path(sub_key, path); parsed != ERROR_SUCCESS) return parsed;
    // The key of the handle itself (a root, say) is never deleted this way.
    if (path.empty()) return ERROR_INVALID_PARAMETER;
    return base->database->delete_key(base->id, path);
  });
}

LONG RegCloseKey(HKEY key) {
  return guarded([&] {
    // The predefined roots are never opened, so closing one is a harmless no-op.
    if (registry_store::is_predefined_key(key)) return ERROR_SUCCESS;
    return registry_store::close_open_key(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
  });
}

}  // namespace automation
