// Creation by name: program identifier ("Krelvo.clsOptimizacija") or class
// identifier string, for the classes known in this process.
#pragma once

#include <string_view>

#include "automation/object.hpp"

namespace automation {

// Called by each component library when it is loaded.
AUTOMATION_RUNTIME_API void register_library(const LibraryInfo& library);

// Null when the name is unknown.
AUTOMATION_RUNTIME_API const ClassInfo* find_class(std::string_view prog_id_or_clsid);

// A new instance; an unknown name raises the automation error "Class not registered".
AUTOMATION_RUNTIME_API ObjectRef create_object(std::string_view prog_id_or_clsid);

}  // namespace automation
