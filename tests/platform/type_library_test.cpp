#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "automation/type_library.hpp"

namespace automation {
namespace {

using Json = nlohmann::json;

TEST(TypeLibrary, DescribesTheProbeLibrary) {
  const Json library = Json::parse(type_library_json("DispatchProbe"));
  EXPECT_EQ(library["libid"], "{0C7E55A0-5D1B-4C44-9A57-6B1E0D2F3A41}");
  EXPECT_EQ(library["version"], "1.0");
  ASSERT_EQ(library["classes"].size(), 2u);
  const Json& probe = library["classes"][0];
  EXPECT_EQ(probe["prog_id"], "DispatchProbe.clsProbe");
  EXPECT_EQ(probe["application_object"], true);
  EXPECT_EQ(probe["interface"]["name"], "_clsProbe");
  EXPECT_EQ(probe["events"]["name"], "__clsProbe");
  EXPECT_EQ(probe["events"]["iid"], "{0C7E55A3-5D1B-4C44-9A57-6B1E0D2F3A41}");
  EXPECT_EQ(probe["events"]["members"][0]["name"], "ProgressUpdate");
  EXPECT_FALSE(library["classes"][1].contains("events"));
  EXPECT_EQ(library["enums"][0]["name"], "probeLevels");
  EXPECT_EQ(library["enums"][0]["members"][1], (Json{{"name", "high"}, {"value", 2}}));
}

TEST(TypeLibrary, MembersStandInSlotOrderWithKindsAndParameters) {
  const Json library = Json::parse(type_library_json("DispatchProbe"));
  const Json& members = library["classes"][0]["interface"]["members"];
  const std::vector<std::string> expected = {
      "count propget",    "count propput",      "small propget",   "small propput",   "ratio propget",
      "ratio propput",    "flag propget",       "flag propput",    "label propget",   "label propput",
      "anything propget", "anything propput",   "lengths propput", "lengths propget", "counts propput",
      "counts propget",   "swap method",        "add method",      "describe method", "fail method",
      "run method",       "live propget",       "plan method",     "nothing propget", "make method",
      "pause method",     "pick_folder method", "message method"};
  ASSERT_EQ(members.size(), expected.size());
  for (std::size_t slot = 0; slot < expected.size(); ++slot) {
    EXPECT_EQ(members[slot]["slot"], slot);
    EXPECT_EQ(members[slot]["name"].get<std::string>() + " " + members[slot]["kind"].get<std::string>(),
              expected[slot]);
  }
  const Json& lengths_put = members[12]["params"][0];
  EXPECT_EQ(lengths_put["type"]["name"], "Double()");
  EXPECT_EQ(lengths_put["by_ref"], true);
  const Json& add = members[17];
  EXPECT_EQ(add["result"]["name"], "Double");
  EXPECT_EQ(add["params"][1]["optional"], true);
  EXPECT_EQ(add["params"][1]["default"], 10.0);
  EXPECT_TRUE(members[16]["result"].is_null()) << "swap has no result";
}

TEST(TypeLibrary, UnknownLibraryFails) {
  try {
    type_library_json("Nowhere");
    FAIL();
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), 429);
  }
}

}  // namespace
}  // namespace automation
