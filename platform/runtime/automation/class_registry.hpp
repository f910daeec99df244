// Creation by name: program identifier ("Krelvo.clsOptimizacija") or class
// identifier string, for the classes known in this process.
#pragma once

#include <string_view>

#include "automation/object.hpp"

namespace automation {

// Called by each component library when it is loaded.
AUTOMATION_RUNTIME_API void register_library(const LibraryInfo& library);

// One class registered on its own, as a host registers a replacement: it takes
// the place of a known class with the same class identifier or program identifier.
AUTOMATION_RUNTIME_API void register_class(const ClassInfo& info);

// Forgets the class with this program identifier or class identifier; creating
// it fails afterwards until it is registered again. False when it was not known.
AUTOMATION_RUNTIME_API bool unregister_class(std::string_view prog_id_or_clsid);

// Null when the name is unknown.
AUTOMATION_RUNTIME_API const ClassInfo* find_class(std::string_view prog_id_or_clsid);

// A new instance; an unknown name raises the automation error "Class not registered".
AUTOMATION_RUNTIME_API ObjectRef create_object(std::string_view prog_id_or_clsid);

}  // namespace automation
