// The type library as a host reads it: the text is one JSON document that
// names the library and reaches every class, its members and enumerations.
// What each library publishes is pinned by the reviewed copies in
// type_libraries/ (type_library_golden_test.cpp).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "automation/class_registry.hpp"
#include "automation/type_library.hpp"
#include "raises_automation_error.hpp"

namespace automation {
namespace {

using Json = nlohmann::json;
using test_support::RaisesAutomationError;

TEST(TypeLibrary, ByNameAndFromTheTablesAlike) {
  const std::string by_name = type_library_json("DispatchProbe");
  const LibraryInfo& library = resolve_library("DispatchProbe");
  EXPECT_EQ(type_library_json(library), by_name);
  const Json parsed = Json::parse(by_name);
  EXPECT_EQ(parsed["classes"].size(), library.classes.size());
  EXPECT_EQ(parsed["classes"][0]["interface"]["members"].size(), library.classes[0]->members.size());
}

TEST(TypeLibrary, UnknownLibraryFails) {
  EXPECT_THAT([] { type_library_json("Nowhere"); }, RaisesAutomationError(429, testing::HasSubstr("Nowhere")));
}

}  // namespace
}  // namespace automation
