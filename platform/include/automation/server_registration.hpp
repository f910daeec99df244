// Registration of a component server's classes in the registry store, under
// HKEY_CLASSES_ROOT:
//   <ProgID>                          (default) class name
//   <ProgID>\CLSID                    (default) {class identifier}
//   CLSID\{clsid}                     (default) ProgID
//   CLSID\{clsid}\ProgID              (default) ProgID
//   CLSID\{clsid}\InprocServer32      (default) path of the shared library
//   CLSID\{clsid}\TypeLib             (default) {type library identifier}
//   CLSID\{clsid}\Version             (default) "1.0"
//   TypeLib\{libid}\1.0               (default) library name
//   TypeLib\{libid}\1.0\0\linux       (default) path of the shared library
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/object.hpp"

namespace automation {

// What DllRegisterServer and DllUnregisterServer return when a key cannot be written.
inline constexpr int32_t kSelfRegClassError = static_cast<int32_t>(0x80040201u);

// 0, or the registry error code of the first write that failed.
AUTOMATION_RUNTIME_API int32_t register_server(const LibraryInfo& library, const std::string& library_path);
// Removes the keys above for every class of the library; keys that are
// already gone are no failure. 0, or the first registry error code.
AUTOMATION_RUNTIME_API int32_t unregister_server(const LibraryInfo& library);

// The library registered for a program or class identifier; empty when the
// store has no registration (a missing store file is not created).
AUTOMATION_RUNTIME_API std::string registered_server_path(std::string_view prog_id_or_clsid);

// The file of the shared library (or program) that holds `address`.
AUTOMATION_RUNTIME_API std::string library_path_of(const void* address);

}  // namespace automation
