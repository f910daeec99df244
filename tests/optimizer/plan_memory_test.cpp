// What a plan holds in memory: rows over the kinds with demand only, the
// guard that counts every copy of a plan (the host's included), and the
// cgroup limit it respects.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "automation/error.hpp"
#include "memory_available.hpp"
#include "plan_builder.hpp"
#include "problem_fixtures.hpp"
#include "reference_plan_builder.hpp"
#include "temporary_folder.hpp"

namespace krelvo::testing {
namespace {

using automation::AutomationError;

// `kinds` item kinds of length 1, only kinds 3 and `kinds` with demand, on bars of 4.
Problem few_kinds_with_demand(int32_t kinds) {
  Problem problem{std::vector<double>(static_cast<std::size_t>(kinds), 1.0),
                  std::vector<int32_t>(static_cast<std::size_t>(kinds), 0),
                  {4.0},
                  {0}};
  problem.quantities[2] = 5;
  problem.quantities.back() = 6;
  return problem;
}

TEST(PlanMemory, RowsSpanOnlyTheKindsWithDemandAndMapBackInRezanje) {
  const Problem problem = few_kinds_with_demand(10'000);
  for (const bool reference : {false, true}) {
    SCOPED_TRACE(reference ? "reference" : "fast");
    PlanBuilder fast;
    ReferencePlanBuilder plain;
    PlanConstruction& builder = reference ? static_cast<PlanConstruction&>(plain) : fast;
    automation::RandomGenerator generator;
    generator.seed_fixed();
    Plan plan;
    builder.build(inputs_of(problem), 0, 100, generator, plan);
    EXPECT_EQ(plan.item_of_column, (std::vector<int32_t>{3, 10'000}));
    EXPECT_EQ(plan.bars, 3);  // 11 pieces of 1 on bars of 4
    EXPECT_LE(plan.counts.size(), 2u * 4u);
  }

  const auto optimizer = optimizer_for(problem, brza);
  optimizer->pokreni();
  const auto bars = bars_of(optimizer->get_rezanje());
  ASSERT_EQ(bars.size(), 3u);
  int32_t third = 0;
  int32_t last = 0;
  for (const auto& counts : bars) {
    ASSERT_EQ(counts.size(), 10'001u);
    third += counts[3];
    last += counts[10'000];
    int32_t others = 0;
    for (std::size_t item = 0; item < counts.size(); ++item)
      if (item != 3 && item != 10'000) others += counts[item];
    EXPECT_EQ(others, 0);
  }
  EXPECT_EQ(third, 5);
  EXPECT_EQ(last, 6);
}

TEST(PlanMemory, TheHostsCopyCountsUpFrontAndWhenRezanjeIsRead) {
  // 2 000 bars: the two own plans take 16 kB, the host's rows of 20 001
  // counts 160 MB. The up-front bound (at least 1 000 bars, as if each bar
  // took one piece more than fits) is refused by a limit of 64 MiB already.
  Problem problem = few_kinds_with_demand(20'000);
  problem.quantities[2] = 0;
  problem.quantities.back() = 2000;
  problem.stock_lengths = {1.0};
  {
    const ScopedPlanMemoryLimit limit(64u << 20);
    const auto optimizer = optimizer_for(problem, brza);
    try {
      optimizer->pokreni();
      FAIL() << "the run started";
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), automation::kErrOutOfMemory);
      EXPECT_NE(error.description().find("1000 bars of 20000 item kinds"), std::string::npos) << error.description();
    }
  }
  // Held within a larger limit, the plan cannot be handed out once the limit drops.
  const auto optimizer = optimizer_for(problem, brza);
  optimizer->put_razina(0);
  int32_t v = 0;
  int32_t k = 10;
  int32_t iter = 0;
  optimizer->test(v, k, iter);
  EXPECT_EQ(optimizer->get_brsipka(), 2000);
  const ScopedPlanMemoryLimit limit(64u << 20);
  try {
    optimizer->get_rezanje();
    FAIL() << "rezanje was read";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), automation::kErrOutOfMemory);
  }
}

struct CgroupCase {
  const char* name;
  const char* proc_self_cgroup;
  std::vector<std::pair<std::string, std::string>> files;  // path below the mount root, content
  std::optional<uint64_t> limit;
};

TEST(CgroupMemoryLimit, TheLowestLimitOfTheCgroupAndItsAncestors) {
  const CgroupCase cases[] = {
      {"v2 leaf", "0::/user.slice/job\n", {{"user.slice/job/memory.max", "1048576\n"}}, 1048576},
      {"v2 parent lower than leaf", "0::/a/b\n", {{"a/memory.max", "2000\n"}, {"a/b/memory.max", "max\n"}}, 2000},
      {"v2 leaf lower than parent", "0::/a/b\n", {{"a/memory.max", "9000\n"}, {"a/b/memory.max", "3000\n"}}, 3000},
      {"v2 without limit", "0::/a\n", {{"a/memory.max", "max\n"}}, std::nullopt},
      {"v2 root of a namespace", "0::/\n", {{"memory.max", "4096\n"}}, 4096},
      {"v1 memory controller among others",
       "5:cpu,cpuacct:/x\n4:memory:/docker/c1\n",
       {{"memory/docker/c1/memory.limit_in_bytes", "536870912\n"}},
       536870912},
      {"v1 unlimited is a huge number",
       "4:memory:/c\n",
       {{"memory/c/memory.limit_in_bytes", "9223372036854771712\n"}},
       std::nullopt},
      {"v1 controller named inside a list", "7:blkio,memory:/c\n", {{"memory/c/memory.limit_in_bytes", "777\n"}}, 777},
      {"garbage is no limit", "0::/a\n", {{"a/memory.max", "12abc\n"}}, std::nullopt},
      {"no memory files", "0::/a\n1:name=systemd:/a\n", {}, std::nullopt},
      {"a path that climbs out is not followed", "0::/../../etc\n", {}, std::nullopt},
      {"malformed lines are skipped", "nonsense\n0::/a\n", {{"a/memory.max", "100\n"}}, 100},
  };
  for (const CgroupCase& tested : cases) {
    SCOPED_TRACE(tested.name);
    const test_support::TemporaryFolder root;
    for (const auto& [path, content] : tested.files) {
      std::filesystem::create_directories((root.path() / path).parent_path());
      std::ofstream(root.path() / path) << content;
    }
    EXPECT_EQ(cgroup_memory_limit(tested.proc_self_cgroup, root.path()), tested.limit);
  }
}

}  // namespace
}  // namespace krelvo::testing
