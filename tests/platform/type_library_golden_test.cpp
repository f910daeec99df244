// Each library's type library against the reviewed copy checked in beside this
// test: any change of a class's identifiers, slot order, types, by-reference
// flags or defaults shows up as a diff of that file. On a difference the
// actual description is written to the build folder for review; copy it over
// the checked-in file only when the change is intended.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "automation/type_library.hpp"

namespace automation {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TypeLibraryGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(TypeLibraryGolden, MatchesTheReviewedFile) {
  const std::string name = GetParam();
  const std::string golden_path = std::string(TYPE_LIBRARY_GOLDEN_FOLDER) + "/" + name + ".json";
  const std::string golden = read_file(golden_path);
  ASSERT_FALSE(golden.empty()) << "no reviewed type library at " << golden_path;
  const std::string actual = type_library_json(name) + "\n";
  if (actual != golden) {
    const std::string actual_path = std::string(TYPE_LIBRARY_ACTUAL_FOLDER) + "/" + name + ".json";
    std::ofstream(actual_path, std::ios::binary) << actual;
    ADD_FAILURE() << "the type library of " << name << " differs from " << golden_path
                  << "\nactual description: " << actual_path << "\ncompare: diff -u " << golden_path << " "
                  << actual_path;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLibrary, TypeLibraryGolden,
                         ::testing::Values("Krelvo", "Drumel", "Platform", "DispatchProbe"),
                         [](const ::testing::TestParamInfo<const char*>& param_info) {
                           return std::string(param_info.param);
                         });

}  // namespace
}  // namespace automation
