// Members of a component class by name, without regard to case, built once
// per class: attribute access reads it on every get and put.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "automation/object.hpp"

namespace automation::python {

struct MemberEntry {
  const MemberInfo* getter = nullptr;
  const MemberInfo* putter = nullptr;
  const MemberInfo* method = nullptr;
};

// Null when the class has no member of that name.
const MemberEntry* find_entry(const ClassInfo& info, std::string_view name);
// Every member name once, in slot order, spelled as the class declares it.
std::vector<std::string> member_names(const ClassInfo& info);
// The member name closest to `name` when it looks like a typo of one, else "".
std::string closest_member(const ClassInfo& info, std::string_view name);
// The Boolean property a host sets to stop a long run at its next
// checkpoint; null when the class has none.
const MemberInfo* stop_property(const ClassInfo& info);

}  // namespace automation::python
