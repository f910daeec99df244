// The class descriptions that make up the library, one per class folder.
#pragma once

#include "automation/object.hpp"

namespace drumel {
}  // namespace drumel
