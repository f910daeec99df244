// Application objects: a class published as one can be used without creating
// an instance, through an implicit instance that the runtime creates on first
// use and keeps for the life of the process. Hosts reach it by the library's
// name (or the class's identifiers): every caller gets the same instance.
#pragma once

#include <string_view>

#include "automation/object.hpp"

namespace automation {

// `name`: the library name ("Krelvo"), or the program or class identifier of
// an application-object class. Raises error 429 when there is no such class.
AUTOMATION_RUNTIME_API ObjectRef application_object(std::string_view name);

}  // namespace automation
