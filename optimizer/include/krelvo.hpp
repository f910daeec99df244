// Krelvo: the one-dimensional cutting-stock optimizer, clsOptimizacija.
// The one header a C++ host includes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "automation/object.hpp"
#include "automation/variant.hpp"

#define KRELVO_API __attribute__((visibility("default")))

namespace krelvo {

using automation::Bstr;
using automation::SafeArray;
using automation::Variant;
using automation::VariantBool;

enum razine_opt : int32_t { brza = 1, standardna = 2, jaka = 3, vrlojaka = 4 };
enum optErrorCodes : int32_t { optUnhandledErr = 1 };

class OptimizerState;   // private working state and plan construction
struct InternalAccess;  // tests and benchmarks that link the core reach the state

// Members stand in the slot order of the automation interface _clsOptimizacija.
class KRELVO_API clsOptimizacija final : public automation::Object {
 public:
  static std::shared_ptr<clsOptimizacija> create();
  ~clsOptimizacija() override;

  int32_t get_razina() const;
  void put_razina(int32_t value);
  VariantBool get_randomiziraj() const;
  void put_randomiziraj(VariantBool value);
  int32_t get_nitem() const;
  void put_nitem(int32_t value);
  int32_t get_nsource() const;
  void put_nsource(int32_t value);
  VariantBool get_prekid() const;
  void put_prekid(VariantBool value);
  int32_t get_brsipka() const;
  void put_brsipka(int32_t value);
  double get_otpad() const;
  void put_otpad(double value);
  int16_t get_progress() const;
  void put_progress(int16_t value);

  // The object keeps a deep copy; the host's array is not changed.
  void put_litem(const SafeArray<double>& lengths);
  void put_mitem(const SafeArray<int32_t>& quantities);
  void put_lsource(const SafeArray<double>& lengths);
  void put_msource(const SafeArray<int32_t>& quantities);

  // A fresh deep copy of the best plan: an array of variants 0..bars, element 0
  // empty, element b the counts 0..nitem of bar b. Before any plan: an array
  // value that holds no array.
  Variant get_rezanje() const;

  void pokreni();
  void test(int32_t& v, int32_t& k, int32_t& iter);

  // ProgressUpdate: handlers run at the first report and at every checkpoint.
  uint32_t connect_ProgressUpdate(std::function<void()> handler);
  void disconnect_ProgressUpdate(uint32_t cookie);

  const automation::ClassInfo& class_info() const override;
  automation::EventSource* event_source() override;

 private:
  friend struct InternalAccess;
  clsOptimizacija();
  std::unique_ptr<OptimizerState> state_;
};

// The library's description for the component runtime (classes, enumerations).
KRELVO_API const automation::LibraryInfo& library_info();

}  // namespace krelvo
