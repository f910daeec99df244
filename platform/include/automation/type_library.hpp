// The type library of a component library, described from the same tables
// that drive late binding (there is no second copy to keep in step): the
// library's identifier and version, each class with its identifiers, its
// interface with the members in slot order (kind, result, parameters), its
// event interface, and the enumerations with their values. JSON text.
#pragma once

#include <string>
#include <string_view>

#include "automation/object.hpp"

namespace automation {

AUTOMATION_RUNTIME_API std::string type_library_json(const LibraryInfo& library);

// By the library's name ("Krelvo"), loading the library when needed; raises
// error 429 when there is none.
AUTOMATION_RUNTIME_API std::string type_library_json(std::string_view library_name);

}  // namespace automation
