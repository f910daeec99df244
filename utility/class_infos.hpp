// The class descriptions that make up the library, one per class folder.
#pragma once

#include "automation/object.hpp"

namespace drumel {

const automation::ClassInfo& clsFile_class_info();
const automation::ClassInfo& clsAPI_class_info();
const automation::ClassInfo& clsINI_class_info();
const automation::ClassInfo& clsEncript_class_info();

}  // namespace drumel
