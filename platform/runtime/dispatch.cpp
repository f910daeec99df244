#include "automation/dispatch.hpp"

#include <new>
#include <string>
#include <vector>

#include "automation/coercion.hpp"
#include "automation/error.hpp"
#include "name_compare.hpp"

namespace automation {
namespace {

constexpr int32_t kErrInternal = 51;

const char* kind_word(MemberKind kind) {
  switch (kind) {
    case MemberKind::kPropertyGet:
      return "property get";
    case MemberKind::kPropertyPut:
      return "property put";
    case MemberKind::kMethod:
      return "method";
  }
  return "member";
}

// The arguments of one call in their declared types. A by-reference argument
// that already has its type is moved in, not copied (a long string would cost
// a copy of its size); the destructor moves by-reference arguments back to the
// caller: all of them once the member returned, else those moved in, so a
// failure leaves the caller's values as they were.
struct CallArguments {
  CallArguments(const MemberInfo& called, std::span<Variant> arguments) : member(called), caller(arguments) {}
  ~CallArguments() {
    for (std::size_t i = 0; i < caller.size() && i < coerced.size(); ++i)
      if (member.params[i].by_ref && (returned || moved[i])) caller[i] = std::move(coerced[i]);
  }
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;

  const MemberInfo& member;
  std::span<Variant> caller;
  std::vector<Variant> coerced;
  std::vector<bool> moved;  // parallel to coerced
  bool returned = false;
};

// Brings the arguments to their declared types, filling in defaults of missing optionals.
void prepare_arguments(CallArguments& call) {
  const MemberInfo& member = call.member;
  const auto& params = member.params;
  std::span<Variant> args = call.caller;
  if (args.size() > params.size())
    raise_error(kErrWrongArgumentCount, "Wrong number of arguments or invalid property assignment: " + member.name +
                                            " takes " + std::to_string(params.size()) + ", got " +
                                            std::to_string(args.size()));
  call.coerced.reserve(params.size());
  call.moved.reserve(params.size());
  for (std::size_t i = 0; i < params.size(); ++i) {
    const ParamInfo& param = params[i];
    if (i >= args.size() && !param.optional)
      raise_error(kErrArgumentNotOptional, "Argument not optional: '" + param.name + "' of " + member.name);
    if (i < args.size() && param.by_ref && (args[i].type() == param.type || param.type == VarType::kVariant)) {
      call.coerced.push_back(std::move(args[i]));
      call.moved.push_back(true);
      continue;
    }
    try {
      call.coerced.push_back(coerce(i < args.size() ? args[i] : param.default_value, param.type));
      call.moved.push_back(false);
    } catch (const AutomationError& error) {
      raise_error(error.number(), error.description() + " (argument '" + param.name + "' of " + member.name + ")");
    }
  }
}

}  // namespace

const MemberInfo* find_member(const ClassInfo& info, std::string_view name, MemberKind kind) {
  for (const MemberInfo& member : info.members)
    if (member.kind == kind && same_name(member.name, name)) return &member;
  return nullptr;
}

bool has_member(const ClassInfo& info, std::string_view name) {
  for (const MemberInfo& member : info.members)
    if (same_name(member.name, name)) return true;
  return false;
}

Variant invoke(Object& object, const MemberInfo& member, std::span<Variant> args) {
  // A handler run by the member may drop the host's last reference.
  const std::shared_ptr<Object> keep_alive = object.weak_from_this().lock();
  try {
    CallArguments call(member, args);
    prepare_arguments(call);
    Variant result = member.invoke(object, call.coerced);
    call.returned = true;
    return result;
  } catch (AutomationError& error) {
    if (error.source().empty()) error.set_source(object.class_info().library);
    throw;
  } catch (const std::bad_alloc&) {
    raise_error(kErrOutOfMemory, "Out of memory", object.class_info().library);
  } catch (const std::exception& failure) {
    raise_error(kErrInternal, std::string("Internal error: ") + failure.what(), object.class_info().library);
  }
}

Variant invoke(Object& object, std::string_view name, MemberKind kind, std::span<Variant> args) {
  const ClassInfo& info = object.class_info();
  const MemberInfo* member = find_member(info, name, kind);
  if (member == nullptr)
    raise_error(kErrMemberNotFound,
                "Object doesn't support this property or method: " + info.name + " has no " + kind_word(kind) + " '" +
                    std::string(name) + "'",
                info.library);
  return invoke(object, *member, args);
}

uint32_t connect_events(Object& object, EventSource::Handler handler) {
  EventSource* source = object.event_source();
  if (source == nullptr)
    raise_error(kErrNoEvents, "Object or class does not support the set of events: " + object.class_info().name,
                object.class_info().library);
  return source->connect(std::move(handler));
}

void disconnect_events(Object& object, uint32_t cookie) {
  if (EventSource* source = object.event_source()) source->disconnect(cookie);
}

}  // namespace automation
