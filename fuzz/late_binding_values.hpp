// Arguments of late-bound calls as a fuzz input chooses them: every variant
// type, arrays of every element type with any bounds and dimensions, texts
// that mean something to the classes (file names in the fuzz folder, INI
// sections, registry paths, numbers as text) and random ones.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "automation/variant.hpp"

namespace fuzz {

automation::Variant any_variant(FuzzedDataProvider& input, const automation::ObjectRef& some_object);

automation::Bstr any_text(FuzzedDataProvider& input);

}  // namespace fuzz
