// The late-bound component object: a reference-counted object that describes
// its members (in slot order) through its class information, so any host can
// find a member by name and invoke it with variants.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "automation/runtime_api.hpp"
#include "automation/variant.hpp"

namespace automation {

class Object;

enum class MemberKind : uint8_t { kPropertyGet, kPropertyPut, kMethod };

struct ParamInfo {
  std::string name;
  VarType type = VarType::kVariant;
  bool by_ref = false;
  bool optional = false;
  Variant default_value{};
};

// Receives the arguments already coerced to their declared types, in order;
// by-reference arguments may be written and reach the caller.
using Invoker = std::function<Variant(Object& self, std::span<Variant> args)>;

struct MemberInfo {
  std::string name;
  MemberKind kind = MemberKind::kMethod;
  VarType result = VarType::kEmpty;  // kEmpty: no result
  std::vector<ParamInfo> params;
  Invoker invoke;
};

struct EventInfo {
  std::string name;
  std::vector<ParamInfo> params;
};

struct EnumInfo {
  std::string name;
  std::vector<std::pair<std::string, int32_t>> members;
};

struct ClassInfo {
  std::string library;  // "Krelvo"
  std::string name;     // "clsOptimizacija"
  std::string clsid;    // "{1A2E2510-...}"
  std::string interface_name;
  std::string iid;
  std::string event_interface_name;  // empty when the class raises no events
  std::string event_iid;
  std::vector<EventInfo> events;
  std::vector<MemberInfo> members;  // public members in slot order
  bool application_object = false;
  std::function<std::shared_ptr<Object>()> create;

  std::string prog_id() const { return library + "." + name; }
};

struct LibraryInfo {
  std::string name;   // "Krelvo"
  std::string libid;  // type library identifier
  uint16_t major_version = 1;
  uint16_t minor_version = 0;
  std::vector<const ClassInfo*> classes;
  std::vector<EnumInfo> enums;
};

// The source of an object's events; handlers may connect and disconnect at
// any time, also from inside a handler.
class AUTOMATION_RUNTIME_API EventSource {
 public:
  using Handler = std::function<void(const std::string& event_name, std::span<Variant> args)>;

  uint32_t connect(Handler handler);
  void disconnect(uint32_t cookie);
  std::size_t connection_count() const;
  // Calls every handler connected when the event is raised, in connection order.
  void raise(const std::string& event_name, std::span<Variant> args = {});

 private:
  mutable std::mutex mutex_;
  uint32_t next_cookie_ = 1;
  std::vector<std::pair<uint32_t, std::shared_ptr<const Handler>>> handlers_;
};

class AUTOMATION_RUNTIME_API Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object();
  virtual const ClassInfo& class_info() const = 0;
  // Null for classes without events.
  virtual EventSource* event_source() { return nullptr; }
};

using ObjectRef = std::shared_ptr<Object>;

}  // namespace automation
