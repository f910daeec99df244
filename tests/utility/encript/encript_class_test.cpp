#include <gtest/gtest.h>

#include <vector>

#include "automation/class_registry.hpp"
#include "drumel.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::Variant;

TEST(clsEncriptClass, PublishesItsEightMethodsInSlotOrder) {
  const automation::ClassInfo* info = automation::find_class("Drumel.clsEncript");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->clsid, "{9FFBAB46-BB02-47AC-A73D-C340166C7B4D}");
  EXPECT_EQ(info->iid, "{FAD2D541-51CC-4A27-A83E-E2B0A4ECCE82}");
  std::vector<std::string> names;
  for (const automation::MemberInfo& member : info->members) names.push_back(member.name);
  EXPECT_EQ(names, (std::vector<std::string>{"MD5", "RndF", "encrypt", "decrypt", "EncryptText", "DecryptText",
                                             "Adler32", "Adler16"}));
  const auto& library = library_info();
  EXPECT_NE(std::find(library.classes.begin(), library.classes.end(), info), library.classes.end());
}

TEST(clsEncriptClass, MembersWorkLateBound) {
  const automation::ObjectRef object = automation::create_object("{9FFBAB46-BB02-47AC-A73D-C340166C7B4D}");
  const auto& members = object->class_info().members;
  std::vector<Variant> message{Variant(Bstr(u"abc"))};
  EXPECT_EQ(members[0].invoke(*object, message).get<Bstr>().str(), u"900150983cd24fb0d6963f7d28e17f72");
  std::vector<Variant> bounds{Variant(int32_t{4}), Variant(int32_t{4})};
  EXPECT_EQ(members[1].invoke(*object, bounds).get<int32_t>(), 4);
  std::vector<Variant> cipher{Variant(Bstr(u"\x01\x01")), Variant(Bstr(u"ab"))};
  const Variant enciphered = members[4].invoke(*object, cipher);
  EXPECT_EQ(enciphered.get<Bstr>().str(), u"CB");
  std::vector<Variant> decipher{enciphered, Variant(Bstr(u"AB"))};
  EXPECT_EQ(members[5].invoke(*object, decipher).get<Bstr>().str(), u"\x01\x01");
  EXPECT_EQ(members[6].invoke(*object, message).get<int32_t>(), -2108882648);
  EXPECT_EQ(members[7].invoke(*object, message).get<int32_t>(), 27294555);
}

}  // namespace
}  // namespace drumel
