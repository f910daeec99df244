// A program outside the source tree that uses the installed libraries: a
// small cutting plan with Krelvo, an MD5 with Drumel, and Drumel's clsFile
// created by name through the runtime. Prints one line per result; the
// install test compares them with known values.
#include <cstdio>
#include <exception>

#include <automation/class_registry.hpp>
#include <drumel.hpp>
#include <krelvo.hpp>

int main() {
  try {
    // Pieces 3 and 7 from bars of 10: one bar, nothing left over.
    const auto optimizer = krelvo::clsOptimizacija::create();
    optimizer->put_nitem(2);
    optimizer->put_litem(krelvo::SafeArray<double>(0, {0.0, 3.0, 7.0}));
    optimizer->put_mitem(krelvo::SafeArray<int32_t>(0, {0, 1, 1}));
    optimizer->put_lsource(krelvo::SafeArray<double>(0, {0.0, 10.0}));
    optimizer->put_msource(krelvo::SafeArray<int32_t>(0, {0, 0}));
    optimizer->put_razina(krelvo::brza);
    optimizer->pokreni();
    std::printf("bars %d waste %g\n", optimizer->get_brsipka(), optimizer->get_otpad());

    drumel::clsEncript encript;
    automation::Bstr message = automation::Bstr::from_utf8("abc");
    std::printf("md5 %s\n", encript.MD5(message).to_utf8().c_str());

    const automation::ObjectRef file = automation::create_object("Drumel.clsFile");
    std::printf("created %s\n", file->class_info().prog_id().c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "consumer: %s\n", error.what());
    return 1;
  }
}
