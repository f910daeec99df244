// Plan construction speed, fast against reference in the same run, and the
// wall time of every level with the repeatable seed, on the bundled problems.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "internal_access.hpp"
#include "plan_builder.hpp"
#include "problem_file.hpp"
#include "reference_plan_builder.hpp"

namespace krelvo::bench {
namespace {

double peak_memory_mib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

std::shared_ptr<clsOptimizacija> optimizer_for(const ProblemFile& problem, int32_t razina) {
  auto optimizer = clsOptimizacija::create();
  describe_problem(*optimizer, problem);
  optimizer->put_razina(razina);
  optimizer->put_randomiziraj(VariantBool::from(false));
  return optimizer;
}

// One plan per iteration with the first setting of every level (no greedy
// steps, 100 trials per bar), continuing the same draw sequence.
template <class Builder>
void plan_rate(benchmark::State& state, const ProblemFile& problem) {
  const auto optimizer = optimizer_for(problem, 0);
  const ProblemInputs& inputs = InternalAccess::state(*optimizer).inputs;
  Builder builder;
  automation::RandomGenerator generator;
  generator.seed_fixed();
  Plan plan;
  double waste = 0;
  for (auto _ : state) {
    waste = builder.build(inputs, 0, 100, generator, plan);
    benchmark::DoNotOptimize(waste);
  }
  state.counters["plans_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["bars"] = plan.bars;
  state.counters["peak_mib"] = peak_memory_mib();
}

void level_run(benchmark::State& state, const ProblemFile& problem, int32_t razina) {
  for (auto _ : state) {
    const auto optimizer = optimizer_for(problem, razina);
    optimizer->pokreni();
    state.counters["plans"] = static_cast<double>(InternalAccess::state(*optimizer).plans_built);
    state.counters["waste"] = optimizer->get_otpad();
    state.counters["bars"] = optimizer->get_brsipka();
  }
  state.counters["peak_mib"] = peak_memory_mib();
}

const char* const kLevelNames[] = {"", "brza", "standardna", "jaka", "vrlojaka"};

}  // namespace
}  // namespace krelvo::bench

int main(int argc, char** argv) {
  using namespace krelvo::bench;
  benchmark::Initialize(&argc, argv);
  static std::vector<ProblemFile> problems;
  for (const char* name : {"small", "medium", "large"})
    problems.push_back(read_problem_file(std::string(KRELVO_BENCH_PROBLEMS) + "/" + name + ".txt"));
  for (const ProblemFile& problem : problems) {
    benchmark::RegisterBenchmark(("plan_rate/fast/" + problem.name).c_str(), [&problem](benchmark::State& state) {
      plan_rate<krelvo::PlanBuilder>(state, problem);
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("plan_rate/reference/" + problem.name).c_str(), [&problem](benchmark::State& state) {
      plan_rate<krelvo::ReferencePlanBuilder>(state, problem);
    })->Unit(benchmark::kMicrosecond);
    for (int32_t razina = krelvo::brza; razina <= krelvo::vrlojaka; ++razina)
      benchmark::RegisterBenchmark(("level/" + std::string(kLevelNames[razina]) + "/" + problem.name).c_str(),
                                   [&problem, razina](benchmark::State& state) { level_run(state, problem, razina); })
          ->Iterations(1)
          ->UseRealTime()
          ->Unit(benchmark::kSecond);
  }
  // Plan construction as the number of kinds grows: the reference scans
  // every kind per draw, so its rate shows what the fast builder saves.
  static std::vector<ProblemFile> wide;
  for (const int32_t kinds : {1000, 3000, 10000}) wide.push_back(krelvo::bench::many_kinds(kinds));
  for (const ProblemFile& problem : wide) {
    benchmark::RegisterBenchmark(("plan_rate/fast/" + problem.name).c_str(), [&problem](benchmark::State& state) {
      plan_rate<krelvo::PlanBuilder>(state, problem);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("plan_rate/reference/" + problem.name).c_str(), [&problem](benchmark::State& state) {
      plan_rate<krelvo::ReferencePlanBuilder>(state, problem);
    })->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
