// clsEncript reached by name through late binding, as hosts reach it. Its
// members' slot order and types are pinned by
// tests/platform/type_libraries/Drumel.json.
#include <gtest/gtest.h>

#include <vector>

#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "drumel.hpp"
#include "variant_printer.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::Variant;

TEST(clsEncriptClass, MembersWorkLateBound) {
  (void)library_info();  // the library registers its classes when loaded
  const automation::ObjectRef object = automation::create_object("{9FFBAB46-BB02-47AC-A73D-C340166C7B4D}");
  ASSERT_NE(dynamic_cast<clsEncript*>(object.get()), nullptr);
  const auto call = [&](const char* name, std::vector<Variant> args) {
    return automation::call_method(*object, name, args);
  };
  const Variant message(Bstr(u"abc"));
  EXPECT_EQ(call("MD5", {message}), Variant(Bstr(u"900150983cd24fb0d6963f7d28e17f72")));
  EXPECT_EQ(call("RndF", {Variant(int32_t{4}), Variant(int32_t{4})}), Variant(int32_t{4}));
  const Variant enciphered = call("EncryptText", {Variant(Bstr(u"\x01\x01")), Variant(Bstr(u"ab"))});
  EXPECT_EQ(enciphered, Variant(Bstr(u"CB")));
  EXPECT_EQ(call("DecryptText", {enciphered, Variant(Bstr(u"AB"))}), Variant(Bstr(u"\x01\x01")));
  EXPECT_EQ(call("Adler32", {message}), Variant(int32_t{-2108882648}));
  EXPECT_EQ(call("Adler16", {message}), Variant(int32_t{27294555}));
}

}  // namespace
}  // namespace drumel
