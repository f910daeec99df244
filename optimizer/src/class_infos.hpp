// The class descriptions that make up the library.
#pragma once

#include "automation/object.hpp"

namespace krelvo {

const automation::ClassInfo& clsOptimizacija_class_info();

}  // namespace krelvo
