// Late binding: the one dispatch layer every host uses (the Python module,
// C++ late-bound hosts, test drivers). Members are found by name, without
// regard to case, and invoked with variants coerced to their declared types.
#pragma once

#include <span>
#include <string_view>

#include "automation/object.hpp"

namespace automation {

// Automation error numbers of the dispatch layer itself.
inline constexpr int32_t kErrMemberNotFound = 438;  // "Object doesn't support this property or method"
inline constexpr int32_t kErrArgumentNotOptional = 449;
inline constexpr int32_t kErrWrongArgumentCount = 450;  // also an invalid property assignment
inline constexpr int32_t kErrNoEvents = 459;            // "Object or class does not support the set of events"

// Null when the class has no public member of that name and kind.
AUTOMATION_RUNTIME_API const MemberInfo* find_member(const ClassInfo& info, std::string_view name, MemberKind kind);
// True when the class has a public member of that name of any kind.
AUTOMATION_RUNTIME_API bool has_member(const ClassInfo& info, std::string_view name);

// Invokes a member with its arguments in declaration order. Missing trailing
// optional arguments take their defaults. Every argument is coerced to its
// declared type before the member runs; after it, each by-reference argument
// in `args` holds the value the member left in it. A failure raises the
// member's AutomationError with its number and description; an empty source
// becomes the library's name. The object is kept alive until the call returns,
// even if a handler drops the host's last reference meanwhile.
AUTOMATION_RUNTIME_API Variant invoke(Object& object, const MemberInfo& member, std::span<Variant> args);
AUTOMATION_RUNTIME_API Variant invoke(Object& object, std::string_view name, MemberKind kind,
                                      std::span<Variant> args = {});

inline Variant get_property(Object& object, std::string_view name) {
  return invoke(object, name, MemberKind::kPropertyGet);
}
inline void put_property(Object& object, std::string_view name, Variant value) {
  invoke(object, name, MemberKind::kPropertyPut, std::span<Variant>(&value, 1));
}
inline Variant call_method(Object& object, std::string_view name, std::span<Variant> args = {}) {
  return invoke(object, name, MemberKind::kMethod, args);
}

// Connects a sink to the object's events (raises kErrNoEvents for a class
// without them); the cookie disconnects it.
AUTOMATION_RUNTIME_API uint32_t connect_events(Object& object, EventSource::Handler handler);
AUTOMATION_RUNTIME_API void disconnect_events(Object& object, uint32_t cookie);

}  // namespace automation
