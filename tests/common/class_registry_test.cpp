#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/class_registry.hpp"
#include "raises_automation_error.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

class Plain : public Object {
 public:
  explicit Plain(const ClassInfo& info) : info_(info) {}
  const ClassInfo& class_info() const override { return info_; }

 private:
  const ClassInfo& info_;
};

ClassInfo make_class(std::string name, std::string clsid) {
  ClassInfo info;
  info.library = "Registry";
  info.name = std::move(name);
  info.clsid = std::move(clsid);
  return info;
}

TEST(ClassRegistry, RegisteredClassReplacesTheOneWithTheSameIdentifierUntilUnregistered) {
  ClassInfo original = make_class("Original", "{00000000-0000-0000-0000-0000000000A1}");
  original.create = [&] { return std::make_shared<Plain>(original); };
  ClassInfo replacement = make_class("Replacement", "{00000000-0000-0000-0000-0000000000a1}");
  replacement.create = [&] { return std::make_shared<Plain>(replacement); };

  register_class(original);
  EXPECT_EQ(&create_object("{00000000-0000-0000-0000-0000000000A1}")->class_info(), &original);
  register_class(replacement);  // same class identifier, other case
  EXPECT_EQ(&create_object("{00000000-0000-0000-0000-0000000000A1}")->class_info(), &replacement);
  EXPECT_EQ(find_class("Registry.Original"), nullptr);

  EXPECT_TRUE(unregister_class("Registry.Replacement"));
  EXPECT_FALSE(unregister_class("Registry.Replacement"));
  EXPECT_EQ(find_class("{00000000-0000-0000-0000-0000000000A1}"), nullptr);
  EXPECT_THAT([] { create_object("{00000000-0000-0000-0000-0000000000A1}"); }, RaisesAutomationError(429));
}

}  // namespace
}  // namespace automation
