// The type description of Krelvo for late binding: the library, its
// enumerations and clsOptimizacija with its members in slot order, each with
// an invoker that receives the arguments already coerced to their types.
#include <span>

#include "krelvo.hpp"

namespace krelvo {
namespace {

using automation::ClassInfo;
using automation::MemberInfo;
using automation::MemberKind;
using automation::Object;
using automation::ParamInfo;
using automation::VarType;

clsOptimizacija& self_of(Object& self) { return static_cast<clsOptimizacija&>(self); }

// get and put of one public field, in that order.
template <class T, T (clsOptimizacija::*Get)() const, void (clsOptimizacija::*Put)(T)>
void add_field(std::vector<MemberInfo>& members, const char* name, VarType type) {
  members.push_back({name, MemberKind::kPropertyGet, type, {}, [](Object& self, std::span<Variant>) {
                       return Variant((self_of(self).*Get)());
                     }});
  members.push_back({name,
                     MemberKind::kPropertyPut,
                     VarType::kEmpty,
                     {ParamInfo{"value", type}},
                     [](Object& self, std::span<Variant> args) {
                       (self_of(self).*Put)(args[0].get<T>());
                       return Variant();
                     }});
}

// A write-only array input, passed by reference and left unchanged.
template <class T, void (clsOptimizacija::*Put)(const SafeArray<T>&)>
void add_array_input(std::vector<MemberInfo>& members, const char* name, VarType element) {
  members.push_back({name,
                     MemberKind::kPropertyPut,
                     VarType::kEmpty,
                     {ParamInfo{"value", automation::array_of(element), true}},
                     [](Object& self, std::span<Variant> args) {
                       (self_of(self).*Put)(args[0].get<SafeArray<T>>());
                       return Variant();
                     }});
}

std::vector<MemberInfo> members_in_slot_order() {
  std::vector<MemberInfo> members;
  add_field<int32_t, &clsOptimizacija::get_razina, &clsOptimizacija::put_razina>(members, "razina", VarType::kI4);
  add_field<VariantBool, &clsOptimizacija::get_randomiziraj, &clsOptimizacija::put_randomiziraj>(
      members, "randomiziraj", VarType::kBool);
  add_field<int32_t, &clsOptimizacija::get_nitem, &clsOptimizacija::put_nitem>(members, "nitem", VarType::kI4);
  add_field<int32_t, &clsOptimizacija::get_nsource, &clsOptimizacija::put_nsource>(members, "nsource", VarType::kI4);
  add_field<VariantBool, &clsOptimizacija::get_prekid, &clsOptimizacija::put_prekid>(members, "prekid", VarType::kBool);
  add_field<int32_t, &clsOptimizacija::get_brsipka, &clsOptimizacija::put_brsipka>(members, "brsipka", VarType::kI4);
  add_field<double, &clsOptimizacija::get_otpad, &clsOptimizacija::put_otpad>(members, "otpad", VarType::kR8);
  add_field<int16_t, &clsOptimizacija::get_progress, &clsOptimizacija::put_progress>(members, "progress", VarType::kI2);
  add_array_input<double, &clsOptimizacija::put_litem>(members, "litem", VarType::kR8);
  add_array_input<int32_t, &clsOptimizacija::put_mitem>(members, "mitem", VarType::kI4);
  add_array_input<double, &clsOptimizacija::put_lsource>(members, "lsource", VarType::kR8);
  add_array_input<int32_t, &clsOptimizacija::put_msource>(members, "msource", VarType::kI4);
  members.push_back({"rezanje",
                     MemberKind::kPropertyGet,
                     automation::array_of(VarType::kVariant),
                     {},
                     [](Object& self, std::span<Variant>) { return self_of(self).get_rezanje(); }});
  members.push_back({"pokreni", MemberKind::kMethod, VarType::kEmpty, {}, [](Object& self, std::span<Variant>) {
                       self_of(self).pokreni();
                       return Variant();
                     }});
  members.push_back(
      {"test",
       MemberKind::kMethod,
       VarType::kEmpty,
       {ParamInfo{"v", VarType::kI4, true}, ParamInfo{"k", VarType::kI4, true}, ParamInfo{"iter", VarType::kI4, true}},
       [](Object& self, std::span<Variant> args) {
         int32_t v = args[0].get<int32_t>();
         int32_t k = args[1].get<int32_t>();
         int32_t iter = args[2].get<int32_t>();
         self_of(self).test(v, k, iter);
         return Variant();
       }});
  return members;
}

const ClassInfo& optimizer_class() {
  static const ClassInfo info = [] {
    ClassInfo described;
    described.library = "Krelvo";
    described.name = "clsOptimizacija";
    described.clsid = "{1A2E2510-521A-49AE-B558-932F2C234CE7}";
    described.interface_name = "_clsOptimizacija";
    described.iid = "{A915B55E-7F3C-4329-B354-6048B9E91C6A}";
    described.event_interface_name = "__clsOptimizacija";
    described.event_iid = "{8E34FFBB-F37B-4913-90E7-889A1A32BE57}";
    described.events = {{"ProgressUpdate", {}}};
    described.members = members_in_slot_order();
    described.application_object = true;
    described.create = []() -> automation::ObjectRef { return clsOptimizacija::create(); };
    return described;
  }();
  return info;
}

}  // namespace

const automation::ClassInfo& clsOptimizacija::class_info() const { return optimizer_class(); }

const automation::LibraryInfo& library_info() {
  static const automation::LibraryInfo info = [] {
    automation::LibraryInfo described;
    described.name = "Krelvo";
    described.libid = "{E9746FEC-3D90-4528-A028-F4424F912B1B}";
    described.major_version = 1;
    described.minor_version = 0;
    described.classes = {&optimizer_class()};
    described.enums = {
        {"razine_opt", {{"brza", brza}, {"standardna", standardna}, {"jaka", jaka}, {"vrlojaka", vrlojaka}}},
        {"optErrorCodes", {{"optUnhandledErr", optUnhandledErr}}}};
    return described;
  }();
  return info;
}

}  // namespace krelvo
