// Python call arguments to the variants of a member's parameters, positional
// first, then keywords by parameter name without regard to case.
#pragma once

#include <vector>

#include "automation/object.hpp"
#include "module_parts.hpp"

namespace automation::python {

// Raises TypeError for an unknown or doubled keyword, and for a required
// parameter left out before one that was given.
std::vector<Variant> call_arguments(const MemberInfo& member, const py::args& args, const py::kwargs& kwargs);

}  // namespace automation::python
