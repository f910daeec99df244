// libFuzzer target for clsOptimizacija: any nitem, arrays of any bounds,
// dimensions, lengths and quantities, any ngreedy, ntrial and iter through
// test, and pokreni at every level, with and without prekid, and with a
// ProgressUpdate handler that tries to start a run inside the run. Every
// input ends within a second of CPU time, in a plan that passes the plan
// checks or in one of the documented errors; after an error the best-plan
// fields still describe a complete plan, or nothing as before.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "cpu_time.hpp"
#include "fuzz_check.hpp"
#include "interesting_values.hpp"
#include "krelvo.hpp"
#include "optimizer_problem.hpp"
#include "plan_check.hpp"

namespace {

using automation::AutomationError;
using automation::SafeArray;
using krelvo::clsOptimizacija;

constexpr int32_t kMaxElements = 20;
// A larger problem than fuzz::kWorkBudget allows only takes longer in
// proportion, which the benchmarks measure.
constexpr double kCpuSecondsAllowed = 1.0;

struct Call {
  bool pokreni = false;
  int32_t razina = 0;
  bool prekid = false;
  bool nested_call = false;  // the handler tries `test` while the run goes on
  int32_t ngreedy = 0;
  int32_t ntrial = 0;
  int32_t iter = 0;
};

int64_t plans_of(const Call& call) {
  return call.pokreni ? fuzz::plans_of_level(call.razina, call.prekid) : fuzz::plans_of_test(call.iter);
}

template <class T>
void show_array(const char* name, const SafeArray<T>& array) {
  std::fprintf(stderr, "%s:", name);
  if (!array.has_array()) std::fprintf(stderr, " no array");
  for (const auto& bound : array.bounds())
    std::fprintf(stderr, " [%d, %lld elements]", bound.lbound, static_cast<long long>(bound.count));
  for (const T& value : array.elements()) std::fprintf(stderr, " %.17g", static_cast<double>(value));
  std::fprintf(stderr, "\n");
}

// FUZZ_SHOW_INPUT=1 prints each input as the optimizer gets it, for reading a finding.
void show(const fuzz::Problem& problem, const Call& call) {
  std::fprintf(stderr, "nitem %d\n", problem.nitem);
  show_array("litem", problem.litem);
  show_array("mitem", problem.mitem);
  show_array("lsource", problem.lsource);
  show_array("msource", problem.msource);
  std::fprintf(stderr, "%s razina %d prekid %d nested %d ngreedy %d ntrial %d iter %d\n",
               call.pokreni ? "pokreni" : "test", call.razina, call.prekid, call.nested_call, call.ngreedy, call.ntrial,
               call.iter);
}

bool is_documented_error(int32_t number) {
  return number == automation::kErrInvalidProcedureCall || number == automation::kErrOverflow ||
         number == automation::kErrOutOfMemory || number == automation::kErrSubscriptOutOfRange;
}

void try_a_nested_run(clsOptimizacija& optimizer) {
  int32_t v = 0;
  int32_t k = 20;
  int32_t iter = 0;
  try {
    optimizer.test(v, k, iter);
  } catch (const AutomationError& error) {
    fuzz::require(error.number() == automation::kErrInvalidProcedureCall, "a nested run failed with another error");
    return;
  }
  fuzz::fail("a run started from a ProgressUpdate handler while another was going on");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  fuzz::Problem problem;
  problem.nitem = fuzz::any_int32(input, 0, kMaxElements);
  const auto length = [](FuzzedDataProvider& in) { return fuzz::any_double(in, 100); };
  const auto quantity = [](FuzzedDataProvider& in) { return fuzz::any_int32(in, 0, 12); };
  problem.litem = fuzz::any_array<double>(input, kMaxElements, length);
  problem.mitem = fuzz::any_array<int32_t>(input, kMaxElements, quantity);
  problem.lsource = fuzz::any_array<double>(input, kMaxElements, length);
  problem.msource = fuzz::any_array<int32_t>(input, kMaxElements, quantity);

  Call call;
  call.pokreni = input.ConsumeBool();
  static constexpr std::array<int32_t, 7> kLevels = {
      krelvo::brza, krelvo::standardna, krelvo::jaka, krelvo::vrlojaka, 0, 5, -1};
  call.razina = input.PickValueInArray(kLevels);
  call.prekid = input.ConsumeBool();
  call.nested_call = input.ConsumeBool();
  call.ngreedy = fuzz::any_int32(input, -2, 4);
  call.ntrial = fuzz::any_int32(input, -2, 120);
  call.iter = fuzz::any_int32(input, -2, 40);
  // pokreni's levels make up to 100 trials per bar.
  const double work = fuzz::work_of(problem, plans_of(call), call.pokreni ? 100 : call.ntrial);
  if (work > fuzz::kWorkBudget) return -1;  // not worth keeping in the corpus
  static const bool show_inputs = std::getenv("FUZZ_SHOW_INPUT") != nullptr;
  if (show_inputs) show(problem, call);

  const auto optimizer = clsOptimizacija::create();
  optimizer->put_nitem(problem.nitem);
  optimizer->put_litem(problem.litem);
  optimizer->put_mitem(problem.mitem);
  optimizer->put_lsource(problem.lsource);
  optimizer->put_msource(problem.msource);
  optimizer->put_razina(call.razina);
  optimizer->put_prekid(automation::VariantBool::from(call.prekid));
  if (call.nested_call) optimizer->connect_ProgressUpdate([raw = optimizer.get()] { try_a_nested_run(*raw); });

  const double started = test_support::cpu_seconds();
  bool failed = false;
  try {
    if (call.pokreni) {
      optimizer->pokreni();
    } else {
      optimizer->test(call.ngreedy, call.ntrial, call.iter);
    }
  } catch (const AutomationError& error) {
    if (!is_documented_error(error.number())) fuzz::fail("an undocumented error: " + error.description());
    failed = true;
  }
  if (test_support::cpu_seconds() - started > kCpuSecondsAllowed) fuzz::fail("one call took more than a second");

  const automation::Variant rezanje = optimizer->get_rezanje();
  const bool adopted = rezanje.get_if<SafeArray<automation::Variant>>()->has_array();
  if (adopted) {
    const std::string fault = fuzz::plan_fault(problem, rezanje, optimizer->get_brsipka(), optimizer->get_otpad());
    if (!fault.empty()) fuzz::fail(fault);
  } else {
    fuzz::require(optimizer->get_brsipka() == 0 && optimizer->get_otpad() == 0.0,
                  "best-plan fields changed without a plan");
    const bool runs_a_level = call.pokreni && plans_of(call) > 0;
    fuzz::require(failed || (call.pokreni && !runs_a_level), "a run ended normally without adopting a plan");
  }
  return 0;
}
