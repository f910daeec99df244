#include <algorithm>

#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "cls_file_test_support.hpp"
#include "drumel.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::Variant;
using automation::VarType;

const automation::MemberInfo& member(const automation::ClassInfo& info, const std::string& name) {
  const auto found = std::find_if(info.members.begin(), info.members.end(),
                                  [&](const automation::MemberInfo& candidate) { return candidate.name == name; });
  if (found == info.members.end()) throw std::runtime_error("no member " + name);
  return *found;
}

using FileComponent = ClsFileTest;

TEST_F(FileComponent, CreatableByNameWithItsInterfaceInSlotOrder) {
  (void)library_info();  // the library registers its classes when loaded
  const automation::ObjectRef object = automation::create_object("Drumel.clsFile");
  ASSERT_NE(dynamic_cast<clsFile*>(object.get()), nullptr);
  const automation::ClassInfo& info = object->class_info();
  EXPECT_EQ(info.clsid, "{FDCAA6F1-3F7D-4CCB-BAD2-F2ED408917F5}");
  EXPECT_EQ(info.interface_name, "_clsFile");
  EXPECT_EQ(info.iid, "{AA773800-8CC9-4BF3-89BD-4CC97F0E73ED}");
  std::vector<std::string> names;
  for (const auto& m : info.members) names.push_back(m.name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"CRCInit", "CRC32File", "CRC32FileHex", "LoadText", "SaveText", "FileExists"}));
  const auto& poly = member(info, "CRCInit").params.at(0);
  EXPECT_TRUE(poly.optional);
  EXPECT_EQ(poly.default_value, Variant(int32_t{-306674912}));
  const auto& crc = member(info, "CRC32File");
  EXPECT_EQ(crc.result, VarType::kI4);
  ASSERT_EQ(crc.params.size(), 3u);
  EXPECT_TRUE(crc.params[0].by_ref);
  EXPECT_EQ(crc.params[0].type, VarType::kBstr);
  for (std::size_t i : {1u, 2u}) {
    EXPECT_EQ(crc.params[i].type, VarType::kBool);
    EXPECT_TRUE(crc.params[i].optional);
    EXPECT_EQ(crc.params[i].default_value, Variant(automation::kFalse));
  }
}

TEST_F(FileComponent, LateBoundCallsWithDefaultsAndByReferenceArguments) {
  const automation::ObjectRef object = automation::create_object("{FDCAA6F1-3F7D-4CCB-BAD2-F2ED408917F5}");
  write("f", "123456789");
  std::vector<Variant> hex_args = {Variant(path("f"))};  // optional flags left out
  EXPECT_EQ(automation::call_method(*object, "CRC32FileHex", hex_args), Variant(Bstr(u"CBF43926")));
  EXPECT_EQ(hex_args[0], Variant(path("f")));

  std::vector<Variant> init_args = {Variant(int32_t{static_cast<int32_t>(0x82F63B78u)})};
  automation::call_method(*object, "CRCInit", init_args);
  std::vector<Variant> crc_args = {Variant(path("f")), Variant(automation::kFalse), Variant(automation::kTrue)};
  EXPECT_EQ(automation::call_method(*object, "CRC32File", crc_args),
            Variant(int32_t{static_cast<int32_t>(0xE3069283u)}));
  EXPECT_EQ(read("f"), std::string("123456789") + trailer_of(static_cast<int32_t>(0xE3069283u)));
  automation::call_method(*object, "CRCInit");  // back to the default polynomial
  std::vector<Variant> check_args = {Variant(path("f")), Variant(automation::kTrue)};
  EXPECT_EQ(automation::call_method(*object, "CRC32File", check_args), Variant(int32_t{0}));

  std::vector<Variant> save_args = {Variant(Bstr(u"saved")), Variant(path("g"))};
  EXPECT_EQ(automation::call_method(*object, "SaveText", save_args), Variant(automation::kTrue));
  std::vector<Variant> exists_args = {Variant(path("g"))};
  EXPECT_EQ(automation::call_method(*object, "FileExists", exists_args), Variant(automation::kTrue));
  std::vector<Variant> load_args = {Variant(path("g"))};
  EXPECT_EQ(automation::call_method(*object, "LoadText", load_args), Variant(Bstr(u"saved")));
}

}  // namespace
}  // namespace drumel
