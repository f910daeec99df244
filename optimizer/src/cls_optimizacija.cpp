// clsOptimizacija: the fields, the array inputs, `rezanje`, and the run
// protocol of `pokreni` and `test` (seeding, dispatch on razina, one run at a
// time, the object kept alive while it runs).
#include <new>
#include <string>

#include "automation/host_hooks.hpp"
#include "krelvo.hpp"
#include "light_levels.hpp"
#include "optimizer_state.hpp"
#include "rezanje.hpp"
#include "search_run.hpp"
#include "strong_levels.hpp"

namespace krelvo {
namespace {

const std::string kProgressUpdate = "ProgressUpdate";
const std::string kLibraryName = "Krelvo";

// Marks the object as running for the length of one call. A call from a
// handler while a run is going on would overwrite the running schedule's
// settings and best plan, so it is refused.
class RunGuard {
 public:
  RunGuard(OptimizerState& state, const char* method) : state_(state) {
    if (state_.running)
      automation::raise_invalid_argument(std::string("Invalid procedure call or argument: ") + method +
                                         " cannot start while a run of this object is in progress "
                                         "(it was called from a ProgressUpdate handler)");
    state_.running = true;
  }
  ~RunGuard() { state_.running = false; }
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

 private:
  OptimizerState& state_;
};

// The component boundary: errors name the library, memory exhaustion is the
// out-of-memory error.
template <class Call>
void call_with_library_errors(Call&& call) {
  try {
    call();
  } catch (automation::AutomationError& error) {
    if (error.source().empty()) error.set_source(kLibraryName);
    throw;
  } catch (const std::bad_alloc&) {
    automation::raise_error(automation::kErrOutOfMemory, "Out of memory", kLibraryName);
  }
}

void seed(OptimizerState& state) {
  if (state.randomiziraj)
    state.generator.seed_from_clock();
  else
    state.generator.seed_fixed();
}

}  // namespace

clsOptimizacija::clsOptimizacija() : state_(std::make_unique<OptimizerState>()) {}
clsOptimizacija::~clsOptimizacija() = default;

std::shared_ptr<clsOptimizacija> clsOptimizacija::create() {
  return std::shared_ptr<clsOptimizacija>(new clsOptimizacija());
}

int32_t clsOptimizacija::get_razina() const { return state_->razina; }
void clsOptimizacija::put_razina(int32_t value) { state_->razina = value; }
VariantBool clsOptimizacija::get_randomiziraj() const { return state_->randomiziraj; }
void clsOptimizacija::put_randomiziraj(VariantBool value) { state_->randomiziraj = value; }
int32_t clsOptimizacija::get_nitem() const { return state_->inputs.nitem; }
void clsOptimizacija::put_nitem(int32_t value) {
  state_->inputs.nitem = value;
  state_->inputs.changed();
}
int32_t clsOptimizacija::get_nsource() const { return state_->nsource; }
void clsOptimizacija::put_nsource(int32_t value) { state_->nsource = value; }
VariantBool clsOptimizacija::get_prekid() const { return state_->prekid; }
void clsOptimizacija::put_prekid(VariantBool value) { state_->prekid = value; }
int32_t clsOptimizacija::get_brsipka() const { return state_->brsipka; }
void clsOptimizacija::put_brsipka(int32_t value) { state_->brsipka = value; }
double clsOptimizacija::get_otpad() const { return state_->otpad; }
void clsOptimizacija::put_otpad(double value) { state_->otpad = value; }
int16_t clsOptimizacija::get_progress() const { return state_->progress; }
void clsOptimizacija::put_progress(int16_t value) { state_->progress = value; }

// Copy assignment of a bounded array is deep; a change made in a handler is
// used from the next plan on.
void clsOptimizacija::put_litem(const SafeArray<double>& lengths) {
  call_with_library_errors([&] { state_->inputs.litem = lengths; });
  state_->inputs.changed();
}
void clsOptimizacija::put_mitem(const SafeArray<int32_t>& quantities) {
  call_with_library_errors([&] { state_->inputs.mitem = quantities; });
  state_->inputs.changed();
}
void clsOptimizacija::put_lsource(const SafeArray<double>& lengths) {
  call_with_library_errors([&] { state_->inputs.lsource = lengths; });
  state_->inputs.changed();
}
void clsOptimizacija::put_msource(const SafeArray<int32_t>& quantities) {
  call_with_library_errors([&] { state_->inputs.msource = quantities; });
  state_->inputs.changed();
}

Variant clsOptimizacija::get_rezanje() const {
  Variant plan;
  call_with_library_errors([&] { plan = plan_to_rezanje(state_->best_plan, state_->has_best_plan); });
  return plan;
}

void clsOptimizacija::pokreni() {
  const auto keep_alive = shared_from_this();  // a handler may drop the host's last reference
  OptimizerState& state = *state_;
  call_with_library_errors([&] {
    const RunGuard guard(state, "pokreni");
    seed(state);
    SearchRun run(state, state.builder, [&state] {
      state.events.raise(kProgressUpdate);
      automation::yield_to_host();
    });
    // Each test reads razina afresh: a handler that raises it makes the next level run too.
    if (state.razina == brza) optbrza(run);
    if (state.razina == standardna) optstandardna(run);
    if (state.razina == jaka) optjaka(run);
    if (state.razina == vrlojaka) optvrlojaka(run);
  });
}

void clsOptimizacija::test(int32_t& v, int32_t& k, int32_t& iter) {
  const auto keep_alive = shared_from_this();
  OptimizerState& state = *state_;
  call_with_library_errors([&] {
    const RunGuard guard(state, "test");
    seed(state);
    SearchRun run(state, state.builder, [] {});
    test_run(run, v, k, iter);
  });
}

uint32_t clsOptimizacija::connect_ProgressUpdate(std::function<void()> handler) {
  return state_->events.connect([handler = std::move(handler)](const std::string&, std::span<Variant>) { handler(); });
}

void clsOptimizacija::disconnect_ProgressUpdate(uint32_t cookie) { state_->events.disconnect(cookie); }

automation::EventSource* clsOptimizacija::event_source() { return &state_->events; }

}  // namespace krelvo
