// clsOptimizacija as the component runtime sees it: identifiers, the event
// and the members in the interface's slot order.
#include "automation/class_binder.hpp"
#include "class_infos.hpp"
#include "krelvo.hpp"

namespace krelvo {

const automation::ClassInfo& clsOptimizacija_class_info() {
  using automation::Arg;
  using Optimizer = clsOptimizacija;
  static const automation::ClassInfo info =
      automation::ClassBinder<Optimizer>({.library = "Krelvo",
                                          .name = "clsOptimizacija",
                                          .clsid = "{1A2E2510-521A-49AE-B558-932F2C234CE7}",
                                          .interface_name = "_clsOptimizacija",
                                          .iid = "{A915B55E-7F3C-4329-B354-6048B9E91C6A}",
                                          .event_interface_name = "__clsOptimizacija",
                                          .event_iid = "{8E34FFBB-F37B-4913-90E7-889A1A32BE57}",
                                          .events = {{"ProgressUpdate", {}}},
                                          .members = {},
                                          .application_object = true,
                                          .create = [] { return automation::ObjectRef(Optimizer::create()); }})
          .property("razina", &Optimizer::get_razina, &Optimizer::put_razina)
          .property("randomiziraj", &Optimizer::get_randomiziraj, &Optimizer::put_randomiziraj)
          .property("nitem", &Optimizer::get_nitem, &Optimizer::put_nitem)
          .property("nsource", &Optimizer::get_nsource, &Optimizer::put_nsource)
          .property("prekid", &Optimizer::get_prekid, &Optimizer::put_prekid)
          .property("brsipka", &Optimizer::get_brsipka, &Optimizer::put_brsipka)
          .property("otpad", &Optimizer::get_otpad, &Optimizer::put_otpad)
          .property("progress", &Optimizer::get_progress, &Optimizer::put_progress)
          .property_put("litem", &Optimizer::put_litem, Arg::by_reference("value"))
          .property_put("mitem", &Optimizer::put_mitem, Arg::by_reference("value"))
          .property_put("lsource", &Optimizer::put_lsource, Arg::by_reference("value"))
          .property_put("msource", &Optimizer::put_msource, Arg::by_reference("value"))
          .property_get("rezanje", &Optimizer::get_rezanje, automation::array_of(automation::VarType::kVariant))
          .method("pokreni", &Optimizer::pokreni)
          .method("test", &Optimizer::test, {"v", "k", "iter"})
          .info();
  return info;
}

const automation::ClassInfo& clsOptimizacija::class_info() const { return clsOptimizacija_class_info(); }

}  // namespace krelvo
