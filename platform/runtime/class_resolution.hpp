// The steps of creation by name behind resolve_class and resolve_library,
// shared by the class registry and the library loader.
#pragma once

#include <string>
#include <string_view>

#include "automation/object.hpp"

namespace automation {

// A library already registered in the process; null when none has that name.
const LibraryInfo* find_library(std::string_view name);

// Loads the library that provides the class (the component servers beside
// the runtime, then a trusted registration in the registry store, then the
// identifier's prefix on the loader's path); null with the reasons in `why`
// when none does.
const ClassInfo* load_class(std::string_view prog_id_or_clsid, std::string& why);

// Loads lib<name>.so beside the runtime or from the loader's path.
const LibraryInfo* load_library(std::string_view name, std::string& why);

}  // namespace automation
