// Makes a shared library an in-process component server: its classes are
// known to the runtime as soon as the library is loaded, and it exports the
// entry points through which the runtime and hosts reach it:
//   const LibraryInfo* DllGetLibraryInfo()  the library's classes and enumerations
//   const ClassInfo* DllGetClassObject(const char* prog_id_or_clsid)
//                                           a class of this library (its `create`
//                                           makes instances), or null
//   int32_t DllRegisterServer()             registers the classes in the registry
//   int32_t DllUnregisterServer()           store (see server_registration.hpp);
//                                           0, or kSelfRegClassError
// Look them up with dlsym on the library's own handle: every component server
// exports the same names.
#pragma once

#include "automation/class_registry.hpp"
#include "automation/runtime_api.hpp"
#include "automation/server_registration.hpp"

namespace automation {
// The class of `library` with that program or class identifier; null when none.
AUTOMATION_RUNTIME_API const ClassInfo* find_library_class(const LibraryInfo& library, const char* name);
}  // namespace automation

// info_function: a function returning the library's `const LibraryInfo&`.
#define AUTOMATION_COMPONENT_SERVER(info_function)                                                                    \
  namespace {                                                                                                         \
  [[maybe_unused]] const bool component_server_registered = [] {                                                      \
    ::automation::register_library(info_function());                                                                  \
    return true;                                                                                                      \
  }();                                                                                                                \
  }                                                                                                                   \
  extern "C" AUTOMATION_RUNTIME_API const ::automation::LibraryInfo* DllGetLibraryInfo() { return &info_function(); } \
  extern "C" AUTOMATION_RUNTIME_API const ::automation::ClassInfo* DllGetClassObject(const char* name) {              \
    return ::automation::find_library_class(info_function(), name);                                                   \
  }                                                                                                                   \
  /* The path comes from an object of this library: exported names may be */                                          \
  /* bound to another server's copy. */                                                                               \
  extern "C" AUTOMATION_RUNTIME_API int32_t DllRegisterServer() {                                                     \
    const std::string path = ::automation::library_path_of(&component_server_registered);                             \
    return ::automation::register_server(info_function(), path) == 0 ? 0 : ::automation::kSelfRegClassError;          \
  }                                                                                                                   \
  extern "C" AUTOMATION_RUNTIME_API int32_t DllUnregisterServer() {                                                   \
    return ::automation::unregister_server(info_function()) == 0 ? 0 : ::automation::kSelfRegClassError;              \
  }
