// The class descriptions of the platform's own library, and the one object
// a host may create by name.
#pragma once

#include "automation/object.hpp"

namespace automation {

const ClassInfo& algorithm_class_info();
const ClassInfo& encrypted_data_class_info();
ObjectRef new_encrypted_data_object();

}  // namespace automation
