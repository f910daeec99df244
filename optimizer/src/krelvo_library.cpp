// The library as the component runtime sees it: its classes and enumerations.
#include "class_infos.hpp"
#include "krelvo.hpp"

namespace krelvo {

const automation::LibraryInfo& library_info() {
  static const automation::LibraryInfo info{
      .name = "Krelvo",
      .libid = "{E9746FEC-3D90-4528-A028-F4424F912B1B}",
      .major_version = 1,
      .minor_version = 0,
      .classes = {&clsOptimizacija_class_info()},
      .enums = {{"razine_opt", {{"brza", brza}, {"standardna", standardna}, {"jaka", jaka}, {"vrlojaka", vrlojaka}}},
                {"optErrorCodes", {{"optUnhandledErr", optUnhandledErr}}}},
  };
  return info;
}

}  // namespace krelvo
