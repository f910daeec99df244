// Loading of component servers (shared libraries built with
// AUTOMATION_COMPONENT_SERVER) into the process. Loaded libraries stay loaded:
// their objects may be held anywhere.
#pragma once

#include <string>
#include <string_view>

#include "automation/object.hpp"

namespace automation {

// Name of the entry point every component server exports (see component_server.hpp).
inline constexpr const char* kLibraryInfoEntry = "DllGetLibraryInfo";

// Loads a component server by file path (or bare file name, searched on the
// loader's path) and registers its classes; null, with the reason in `why`,
// when the file cannot be loaded or is no component server.
AUTOMATION_RUNTIME_API const LibraryInfo* load_component_server(const std::string& file, std::string& why);

// The folder that holds this runtime library; component servers are looked for there first.
AUTOMATION_RUNTIME_API std::string runtime_directory();

}  // namespace automation
