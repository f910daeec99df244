// Conversion of a variant to a declared type with the automation rules, as a
// late-bound call applies them to its arguments.
#pragma once

#include <string>

#include "automation/runtime_api.hpp"
#include "automation/variant.hpp"

namespace automation {

// Numbers are narrowed with the overflow error (6) when they do not fit;
// doubles round to the nearest integer, halves to even; text is read as a
// number (or True/False for a boolean) and is the type-mismatch error (13)
// when it is none; booleans are -1 and 0 as numbers, "True" and "False" as
// text; empty is 0, false or the null string; arrays are converted element by
// element and keep their bounds. kVariant takes any value unchanged.
AUTOMATION_RUNTIME_API Variant coerce(const Variant& value, VarType target);
AUTOMATION_RUNTIME_API Variant coerce(Variant&& value, VarType target);

// The text a number becomes when coerced to a string, as automation hosts
// print it: up to 15 significant digits, an upper-case exponent, -0 as "0".
AUTOMATION_RUNTIME_API std::u16string coerced_number_text(double value);

// A readable name of a type ("Long", "Double()"), for messages and type-library dumps.
AUTOMATION_RUNTIME_API std::string type_name(VarType type);

}  // namespace automation
