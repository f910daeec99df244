// Loading libKrelvo.so makes clsOptimizacija creatable by name.
#include "automation/component_server.hpp"
#include "krelvo.hpp"

AUTOMATION_COMPONENT_SERVER(krelvo::library_info)
