// Creation by name: program identifier ("Krelvo.clsOptimizacija") or class
// identifier string. A class not yet known in the process is looked up in the
// registry store's registrations, then in the library named by the
// identifier's prefix (lib<Prefix>.so beside this runtime, then on the
// loader's search path); a class identifier without registration is looked
// for in the component servers beside this runtime.
#pragma once

#include <string_view>
#include <vector>

#include "automation/object.hpp"

namespace automation {

inline constexpr int32_t kErrCannotCreateObject = 429;

// Called by each component library when it is loaded; calling again is harmless.
AUTOMATION_RUNTIME_API void register_library(const LibraryInfo& library);

// One class registered on its own, as a host registers a replacement: it takes
// the place of a known class with the same class identifier or program identifier.
AUTOMATION_RUNTIME_API void register_class(const ClassInfo& info);

// Forgets the class with this program identifier or class identifier; creating
// it fails afterwards until it is registered again. False when it was not known.
AUTOMATION_RUNTIME_API bool unregister_class(std::string_view prog_id_or_clsid);

// A class already known in this process; null when the name is unknown.
AUTOMATION_RUNTIME_API const ClassInfo* find_class(std::string_view prog_id_or_clsid);

// A class by name, loading its library when needed; raises error 429 when no
// library provides it.
AUTOMATION_RUNTIME_API const ClassInfo& resolve_class(std::string_view prog_id_or_clsid);

// A library by its name ("Krelvo"), loading it when needed; raises error 429
// when there is none.
AUTOMATION_RUNTIME_API const LibraryInfo& resolve_library(std::string_view library_name);

// The libraries loaded in this process so far, in load order.
AUTOMATION_RUNTIME_API std::vector<const LibraryInfo*> loaded_libraries();

// A new instance of a class found by resolve_class.
AUTOMATION_RUNTIME_API ObjectRef create_object(std::string_view prog_id_or_clsid);

}  // namespace automation
