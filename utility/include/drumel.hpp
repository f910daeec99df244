// Drumel: the utility library. The one header a C++ host includes.
#pragma once

#include "automation/object.hpp"
#include "drumel/api.hpp"
#include "drumel/clsAPI.hpp"
#include "drumel/clsEncript.hpp"
#include "drumel/clsFile.hpp"
#include "drumel/clsINI.hpp"

namespace drumel {

// The library's description for the component runtime (its classes).
DRUMEL_API const automation::LibraryInfo& library_info();

}  // namespace drumel
