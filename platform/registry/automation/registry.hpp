// The registry functions the libraries call, over the registry store (an
// SQLite database under $XDG_CONFIG_HOME). Results are the platform's codes.
// Names and string data are in the ANSI code page; null names mean the key's
// default value.
#pragma once

#include <cstdint>

#include "automation/runtime_api.hpp"

namespace automation {

using HKEY = uint32_t;
using LONG = int32_t;
using DWORD = uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_OUTOFMEMORY = 14;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
// The store's database could not be opened, read or written.
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
// The handle's key was deleted after it was opened.
inline constexpr LONG ERROR_KEY_DELETED = 1018;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

AUTOMATION_RUNTIME_API LONG RegOpenKeyA(HKEY key, const char* sub_key, HKEY* result);
AUTOMATION_RUNTIME_API LONG RegCreateKeyA(HKEY key, const char* sub_key, HKEY* result);
AUTOMATION_RUNTIME_API LONG RegQueryValueExA(HKEY key, const char* value_name, DWORD* reserved, DWORD* type,
                                             uint8_t* data, DWORD* data_size);
AUTOMATION_RUNTIME_API LONG RegSetValueExA(HKEY key, const char* value_name, DWORD reserved, DWORD type,
                                           const uint8_t* data, DWORD data_size);
AUTOMATION_RUNTIME_API LONG RegDeleteValueA(HKEY key, const char* value_name);
// Deletes a key with no subkeys (used when a library unregisters its classes).
AUTOMATION_RUNTIME_API LONG RegDeleteKeyA(HKEY key, const char* sub_key);
AUTOMATION_RUNTIME_API LONG RegCloseKey(HKEY key);

}  // namespace automation
