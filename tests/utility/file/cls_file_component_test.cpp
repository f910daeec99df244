#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "cls_file_test_support.hpp"
#include "drumel.hpp"
#include "variant_printer.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::Variant;

using FileComponent = ClsFileTest;

// The members' slot order, types and defaults are pinned by
// tests/platform/type_libraries/Drumel.json.
TEST_F(FileComponent, CreatableByEitherIdentifier) {
  (void)library_info();  // the library registers its classes when loaded
  const automation::ObjectRef by_name = automation::create_object("Drumel.clsFile");
  const automation::ObjectRef by_clsid = automation::create_object("{FDCAA6F1-3F7D-4CCB-BAD2-F2ED408917F5}");
  ASSERT_NE(dynamic_cast<clsFile*>(by_name.get()), nullptr);
  ASSERT_NE(dynamic_cast<clsFile*>(by_clsid.get()), nullptr);
  EXPECT_NE(by_name, by_clsid);
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
