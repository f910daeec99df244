// A small component server that exercises every path of the dispatch layer:
// each declared type, by-reference and optional parameters, errors, events,
// object results and an application object. Loaded by name, never linked, so
// the tests also cover creation through the library loader.
#include <atomic>
#include <chrono>
#include <thread>
#include <type_traits>
#include <utility>

#include "answer_class.hpp"
#include "automation/component_server.hpp"
#include "automation/folder_browser.hpp"
#include "automation/host_hooks.hpp"

namespace probe {
namespace {

using automation::Bstr;
using automation::ClassInfo;
using automation::MemberInfo;
using automation::MemberKind;
using automation::Object;
using automation::ParamInfo;
using automation::SafeArray;
using automation::Variant;
using automation::VariantBool;
using automation::VarType;

std::atomic<int32_t> live_probes{0};

const ClassInfo& probe_class();

class Probe final : public Object {
 public:
  Probe() { ++live_probes; }
  ~Probe() override { --live_probes; }
  const ClassInfo& class_info() const override { return probe_class(); }
  automation::EventSource* event_source() override { return &events; }

  int32_t count = 0;
  int16_t small = 0;
  double ratio = 0.0;
  VariantBool flag;
  Bstr label;
  Variant anything;
  SafeArray<double> lengths;
  SafeArray<int32_t> counts;
  automation::EventSource events;
};

Probe& self_of(Object& self) { return static_cast<Probe&>(self); }

// A get and a put of one field, in that order.
template <auto Field>
void add_field(std::vector<MemberInfo>& members, std::string name, VarType type) {
  members.push_back({.name = name,
                     .kind = MemberKind::kPropertyGet,
                     .result = type,
                     .params = {},
                     .invoke = [](Object& self, std::span<Variant>) { return Variant(self_of(self).*Field); }});
  members.push_back({.name = name,
                     .kind = MemberKind::kPropertyPut,
                     .result = VarType::kEmpty,
                     .params = {{.name = "value", .type = type}},
                     .invoke = [](Object& self, std::span<Variant> args) {
                       using FieldType = std::remove_reference_t<decltype(self_of(self).*Field)>;
                       if constexpr (std::is_same_v<FieldType, Variant>)
                         self_of(self).*Field = args[0];
                       else
                         self_of(self).*Field = args[0].get<FieldType>();
                       return Variant();
                     }});
}

// A put of an array by reference, then a get that returns it in a variant.
template <auto Field>
void add_array_field(std::vector<MemberInfo>& members, std::string name, VarType element) {
  members.push_back({.name = name,
                     .kind = MemberKind::kPropertyPut,
                     .result = VarType::kEmpty,
                     .params = {{.name = "value", .type = automation::array_of(element), .by_ref = true}},
                     .invoke = [](Object& self, std::span<Variant> args) {
                       using Array = std::remove_reference_t<decltype(self_of(self).*Field)>;
                       self_of(self).*Field = args[0].get<Array>();
                       return Variant();
                     }});
  members.push_back({.name = name,
                     .kind = MemberKind::kPropertyGet,
                     .result = VarType::kVariant,
                     .params = {},
                     .invoke = [](Object& self, std::span<Variant>) { return Variant(self_of(self).*Field); }});
}

// Raises ProgressUpdate `steps` times; `flag` set by a handler stops it, like an abort request.
Variant run(Object& self, std::span<Variant> args) {
  Probe& probe = self_of(self);
  for (int32_t step = 1; step <= args[0].get<int32_t>(); ++step) {
    probe.count = step;
    probe.events.raise("ProgressUpdate");
    automation::yield_to_host();
    probe.label = Bstr(u"after step " + automation::utf8_to_utf16(std::to_string(step)));
    if (probe.flag) break;
  }
  return {};
}

std::vector<MemberInfo> probe_members() {
  std::vector<MemberInfo> members;
  add_field<&Probe::count>(members, "count", VarType::kI4);
  add_field<&Probe::small>(members, "small", VarType::kI2);
  add_field<&Probe::ratio>(members, "ratio", VarType::kR8);
  add_field<&Probe::flag>(members, "flag", VarType::kBool);
  add_field<&Probe::label>(members, "label", VarType::kBstr);
  add_field<&Probe::anything>(members, "anything", VarType::kVariant);
  add_array_field<&Probe::lengths>(members, "lengths", VarType::kR8);
  add_array_field<&Probe::counts>(members, "counts", VarType::kI4);
  members.push_back({"swap",
                     MemberKind::kMethod,
                     VarType::kEmpty,
                     {{.name = "first", .type = VarType::kI4, .by_ref = true},
                      {.name = "second", .type = VarType::kI4, .by_ref = true}},
                     [](Object&, std::span<Variant> args) {
                       std::swap(args[0], args[1]);
                       return Variant();
                     }});
  members.push_back(
      {"add",
       MemberKind::kMethod,
       VarType::kR8,
       {{.name = "a", .type = VarType::kR8},
        {.name = "b", .type = VarType::kR8, .optional = true, .default_value = Variant(10.0)}},
       [](Object&, std::span<Variant> args) { return Variant(args[0].get<double>() + args[1].get<double>()); }});
  members.push_back({"describe",
                     MemberKind::kMethod,
                     VarType::kBstr,
                     {{.name = "text", .type = VarType::kBstr}},
                     [](Object&, std::span<Variant> args) {
                       const Bstr& text = args[0].get<Bstr>();
                       return Variant(text.is_null() ? Bstr(u"null") : Bstr(u"[" + text.str() + u"]"));
                     }});
  members.push_back({"fail",
                     MemberKind::kMethod,
                     VarType::kEmpty,
                     {{.name = "number", .type = VarType::kI4},
                      {.name = "description", .type = VarType::kBstr},
                      {.name = "source", .type = VarType::kBstr, .optional = true}},
                     [](Object&, std::span<Variant> args) -> Variant {
                       automation::raise_error(args[0].get<int32_t>(), args[1].get<Bstr>().to_utf8(),
                                               args[2].get<Bstr>().to_utf8());
                     }});
  members.push_back({"run", MemberKind::kMethod, VarType::kEmpty, {{.name = "steps", .type = VarType::kI4}}, run});
  members.push_back({"live", MemberKind::kPropertyGet, VarType::kI4, {}, [](Object&, std::span<Variant>) {
                       return Variant(live_probes.load());
                     }});
  // Like a cutting plan: element 0 empty, then arrays of counts.
  members.push_back({"plan", MemberKind::kMethod, VarType::kVariant, {}, [](Object&, std::span<Variant>) {
                       SafeArray<Variant> plan(0, 2);
                       plan[1] = SafeArray<int32_t>(0, {0, 1, 2});
                       plan[2] = SafeArray<int32_t>(0, {0, 3, 4});
                       return Variant(std::move(plan));
                     }});
  members.push_back({"nothing", MemberKind::kPropertyGet, VarType::kVariant, {}, [](Object&, std::span<Variant>) {
                       return Variant(SafeArray<double>());
                     }});
  members.push_back({"make", MemberKind::kMethod, VarType::kDispatch, {}, [](Object&, std::span<Variant>) {
                       return Variant(automation::ObjectRef(std::make_shared<Probe>()));
                     }});
  // Blocks the calling thread without touching any host, like a long run.
  members.push_back({"pause",
                     MemberKind::kMethod,
                     VarType::kEmpty,
                     {{.name = "milliseconds", .type = VarType::kI4}},
                     [](Object&, std::span<Variant> args) {
                       std::this_thread::sleep_for(std::chrono::milliseconds(args[0].get<int32_t>()));
                       return Variant();
                     }});
  // The shell's folder browser as a library calls it; "" when cancelled.
  members.push_back({"pick_folder", MemberKind::kMethod, VarType::kBstr, {}, [](Object&, std::span<Variant>) {
                       automation::BROWSEINFOA browse{};
                       browse.ulFlags = automation::BIF_RETURNONLYFSDIRS | automation::BIF_DONTGOBELOWDOMAIN;
                       const automation::ItemIdList chosen(automation::SHBrowseForFolder(&browse));
                       char path[automation::MAX_PATH] = {};
                       if (!chosen || !automation::SHGetPathFromIDList(chosen.get(), path)) return Variant(Bstr(u""));
                       return Variant(Bstr::from_utf8(path));
                     }});
  members.push_back({"message",
                     MemberKind::kMethod,
                     VarType::kEmpty,
                     {{.name = "text", .type = VarType::kBstr}},
                     [](Object&, std::span<Variant> args) {
                       automation::message_box(args[0].get<Bstr>(), automation::kMsgBoxExclamation, Bstr(u"Probe"));
                       return Variant();
                     }});
  return members;
}

const ClassInfo& probe_class() {
  static const ClassInfo info{
      .library = "DispatchProbe",
      .name = "clsProbe",
      .clsid = "{0C7E55A1-5D1B-4C44-9A57-6B1E0D2F3A41}",
      .interface_name = "_clsProbe",
      .iid = "{0C7E55A2-5D1B-4C44-9A57-6B1E0D2F3A41}",
      .event_interface_name = "__clsProbe",
      .event_iid = "{0C7E55A3-5D1B-4C44-9A57-6B1E0D2F3A41}",
      .events = {{.name = "ProgressUpdate", .params = {}}},
      .members = probe_members(),
      .application_object = true,
      .create = [] { return std::make_shared<Probe>(); },
  };
  return info;
}

// A class without events, created only explicitly.
class Plain final : public Object {
 public:
  const ClassInfo& class_info() const override;
};

const ClassInfo& plain_class() {
  static const ClassInfo info =
      test_support::answer_class<Plain>("DispatchProbe", "clsPlain", "{0C7E55A4-5D1B-4C44-9A57-6B1E0D2F3A41}",
                                        "{0C7E55A5-5D1B-4C44-9A57-6B1E0D2F3A41}", 42);
  return info;
}

const ClassInfo& Plain::class_info() const { return plain_class(); }

const automation::LibraryInfo& library_info() {
  static const automation::LibraryInfo info{
      .name = "DispatchProbe",
      .libid = "{0C7E55A0-5D1B-4C44-9A57-6B1E0D2F3A41}",
      .classes = {&probe_class(), &plain_class()},
      .enums = {{.name = "probeLevels", .members = {{"low", 1}, {"high", 2}}}},
  };
  return info;
}

}  // namespace
}  // namespace probe

AUTOMATION_COMPONENT_SERVER(probe::library_info)
