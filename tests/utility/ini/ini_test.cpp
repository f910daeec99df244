#include <filesystem>
#include <string>
#include <vector>

#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "ini_fixture.hpp"
#include "variant_printer.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::Variant;

TEST_F(IniTest, GetKeyValGivesTheValueTheDefaultOrNothing) {
  const Bstr path = ini_file("[s]\r\nname=Value\r\nempty=\r\nlong=" + std::string(300, 'v') + "\r\nnul=ab" +
                             std::string(1, '\0') + "cd\r\n");
  EXPECT_EQ(get(path, u"s", u"name"), Bstr(u"Value"));
  EXPECT_EQ(get(path, u"S", u"NAME"), Bstr(u"Value"));
  EXPECT_EQ(get(path, u"s", u"missing", u"abc"), Bstr(u"abc"));
  EXPECT_EQ(get(path, u"s", u"missing", u""), Bstr(u""));
  EXPECT_EQ(get(path, u"s", u"missing", Bstr::null()), Bstr(u""));
  EXPECT_EQ(get(path, u"s", u"empty", u"x"), Bstr(u""));
  EXPECT_EQ(get(path, u"s", u"long"), Bstr(std::u16string(254, u'v')));
  EXPECT_EQ(get(path, u"s", u"nul"), Bstr(u"ab"));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(IniTest, DefaultComesBackAsItSurvivedTheCodePage) {
  const Bstr path = ini_file("[s]\r\nk=v\r\n");
  Bstr default_text(u"a\u4E2Db\u010D  ");
  EXPECT_EQ(ini_->GetKeyVal(u"s", u"missing", default_text, path), Bstr(u"a?b\u010D"));
  EXPECT_EQ(default_text, Bstr(u"a?b\u010D  "));
  Bstr null_default = Bstr::null();
  ini_->GetKeyVal(u"s", u"k", null_default, path);
  EXPECT_TRUE(null_default.is_null());
}

TEST_F(IniTest, NullKeyAndNullSectionReachThePlatformAsNull) {
  const Bstr path = ini_file("; c\r\n[first]\r\nalpha=1\r\nbeta=2\r\n[second]\r\ngamma=3\r\n");
  EXPECT_EQ(get(path, u"second", Bstr::null()), Bstr(u"gamma"));
  EXPECT_EQ(get(path, u"first", Bstr::null()), Bstr(u"alpha"));
  EXPECT_EQ(get(path, Bstr::null(), u"alpha"), Bstr(u"first"));
  EXPECT_EQ(get(path, u"", u"alpha", u"d"), Bstr(u"d"));  // empty is not null

  ini_->AddToINI(u"first", u"alpha", Bstr::null(), path);
  ini_->AddToINI(u"second", Bstr::null(), u"ignored", path);
  EXPECT_EQ(content(), "; c\r\n[first]\r\nbeta=2\r\n");
}

TEST_F(IniTest, WritesReplaceAddAndDelete) {
  const Bstr path = ini_file("[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n");
  EXPECT_TRUE(ini_->AddToINI(u"s", u"a", u"one", path).is_empty());
  EXPECT_TRUE(ini_->AddToINI(u"new", u"k", u"v", path).is_empty());
  EXPECT_EQ(content(), "[s]\r\na=one\r\nb=2\r\n[t]\r\nc=3\r\n[new]\r\nk=v\r\n");

  EXPECT_TRUE(ini_->DeleteKeyValue(path, u"s", u"b").is_empty());
  EXPECT_EQ(get(path, u"s", u"b", u"x"), Bstr(u""));
  EXPECT_TRUE(ini_->DeleteKey(path, u"s", u"b").is_empty());
  EXPECT_EQ(get(path, u"s", u"b", u"x"), Bstr(u"x"));

  EXPECT_TRUE(ini_->DeleteSection(path, u"T").is_empty());
  EXPECT_EQ(get(path, u"t", u"c", u"gone"), Bstr(u"gone"));
  EXPECT_EQ(content(), "[s]\r\na=one\r\n[new]\r\nk=v\r\n");
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(IniTest, TextsTravelInTheAnsiCodePage) {
  const Bstr path = ini_file("");
  ini_->AddToINI(u"\u010Ce\u0161tina", u"Kl\u00ED\u010D", u"Hodnota \u017E", path);
  EXPECT_EQ(content(),
            "[\xC8"
            "e\x9Atina]\r\nKl\xED\xE8=Hodnota \x9E\r\n");
  EXPECT_EQ(get(path, u"\u010De\u0160TINA", u"KL\u00CD\u010C"), Bstr(u"Hodnota \u017E"));
}

class IniLineBreaks : public IniTest, public testing::WithParamInterface<std::string> {};

TEST_P(IniLineBreaks, OddFilesReadRightAndStayIntactAroundAWrite) {
  const std::string& line_break = GetParam();
  const auto lines = [&](const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += text + line_break;
    return joined;
  };
  const std::vector<std::string> head = {"; top comment", "[Main]", "  Path = \" C:\\x \"  ", "\tMode\t=\t'fast'",
                                         "Mode=shadowed"};
  const std::vector<std::string> tail = {";Mode=commented", "",        "[main]",
                                         "Extra=1",         "[Other]", "Count = 5 ; no comment"};
  const Bstr path = ini_file(lines(head) + lines(tail));
  EXPECT_EQ(get(path, u"main", u"path"), Bstr(u" C:\\x "));
  EXPECT_EQ(get(path, u"MAIN", u"mode"), Bstr(u"fast"));
  EXPECT_EQ(get(path, u"Main", u"Extra", u"-"), Bstr(u"-"));
  EXPECT_EQ(get(path, u"Other", u"Count"), Bstr(u"5 ; no comment"));

  ini_->AddToINI(u"main", u"Added", u"yes", path);
  EXPECT_EQ(content(), lines(head) + "Added=yes" + line_break + lines(tail));
}

INSTANTIATE_TEST_SUITE_P(CrOnlyLfOnlyCrLf, IniLineBreaks, testing::Values("\r", "\n", "\r\n"));

TEST_F(IniTest, EveryOperationOnAMissingFileShowsTheBoxAndCreatesNothing) {
  const std::string missing = folder_.file("missing.ini");
  const Bstr path = Bstr::from_utf8(missing);
  Bstr default_text(u"keep \u4E2D");
  EXPECT_EQ(ini_->GetKeyVal(u"s", u"k", default_text, path), Bstr(u""));
  EXPECT_EQ(default_text, Bstr(u"keep \u4E2D"));  // the platform was never called
  EXPECT_TRUE(ini_->AddToINI(u"s", u"k", u"v", path).is_empty());
  EXPECT_TRUE(ini_->DeleteSection(path, u"s").is_empty());
  EXPECT_TRUE(ini_->DeleteKey(path, u"s", u"k").is_empty());
  EXPECT_TRUE(ini_->DeleteKeyValue(path, u"s", u"k").is_empty());
  EXPECT_FALSE(std::filesystem::exists(missing));

  const std::vector<std::u16string> operations = {u"GetKeyVal", u"AddToINI", u"DeleteSection", u"DeleteKey",
                                                  u"DeleteKeyValue"};
  ASSERT_EQ(boxes_.size(), operations.size());
  for (std::size_t i = 0; i < operations.size(); ++i) {
    EXPECT_EQ(boxes_[i].caption, u"INI File Not Found");
    EXPECT_EQ(boxes_[i].style, 48);
    EXPECT_EQ(boxes_[i].text,
              u"File Not Found: " + path.str() + u"\r\nPlease refer to code in function '" + operations[i] + u"'");
  }
}

TEST_F(IniTest, FoldersAndEmptyPathsAreMissingFiles) {
  std::filesystem::create_directory(folder_.path() / "folder.ini");
  for (const Bstr& path : {Bstr::from_utf8(folder_.file("folder.ini")), Bstr(u""), Bstr::null()})
    EXPECT_EQ(get(path, u"s", u"k", u"d"), Bstr(u""));
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[2].text, u"File Not Found: \r\nPlease refer to code in function 'GetKeyVal'");
}

TEST_F(IniTest, AWildcardPathPassesThePresenceTestButCreatesNoFile) {
  ini_file("[s]\r\nk=v\r\n", "app.ini");
  const Bstr pattern = Bstr::from_utf8(folder_.file("a*.ini"));
  EXPECT_EQ(get(pattern, u"s", u"k", u"default"), Bstr(u"default"));
  ini_->AddToINI(u"s", u"k", u"new", pattern);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_FALSE(std::filesystem::exists(folder_.file("a*.ini")));
  EXPECT_EQ(content("app.ini"), "[s]\r\nk=v\r\n");
}

TEST_F(IniTest, DotFilesNamedExactlyAreFound) {
  const Bstr path = ini_file("[s]\nk=v\n", ".app.ini");
  EXPECT_EQ(get(path, u"s", u"k"), Bstr(u"v"));
  EXPECT_TRUE(boxes_.empty());
}

// The members' slot order and parameter names are pinned by
// tests/platform/type_libraries/Drumel.json.
TEST_F(IniTest, LateBoundCallsTakeTheirArgumentsInDeclaredOrder) {
  const Bstr path = ini_file("[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n");
  const automation::ObjectRef object = automation::create_object("{4CBA9105-2CFA-4B68-B4D4-063066D44984}");
  ASSERT_NE(dynamic_cast<clsINI*>(object.get()), nullptr);
  const auto call = [&](const char* name, std::vector<Variant> args) {
    const Variant result = automation::call_method(*object, name, args);
    return std::pair{result, args};
  };
  const auto [value, args] = call("GetKeyVal", {Bstr(u"s"), Bstr(u"missing"), Bstr(u"\u4E2D"), path});
  EXPECT_EQ(value, Variant(Bstr(u"?")));
  EXPECT_EQ(args[2], Variant(Bstr(u"?")));  // the by-reference Default comes back
  EXPECT_TRUE(call("AddToINI", {Bstr(u"s"), Bstr(u"a"), Bstr(u"10"), path}).first.is_empty());
  EXPECT_TRUE(call("DeleteKeyValue", {path, Bstr(u"s"), Bstr(u"b")}).first.is_empty());
  EXPECT_TRUE(call("DeleteKey", {path, Bstr(u"s"), Bstr(u"a")}).first.is_empty());
  EXPECT_TRUE(call("DeleteSection", {path, Bstr(u"t")}).first.is_empty());
  EXPECT_EQ(content(), "[s]\r\nb=\r\n");
  EXPECT_EQ(call("GetIntVal", {Bstr(u"s"), Bstr(u"missing"), Bstr(u"12"), path}).first, Variant(int32_t{12}));
  EXPECT_EQ(call("GetDoubleVal", {Bstr(u"s"), Bstr(u"b"), Bstr(u"7"), path}).first, Variant(int32_t{7}));
}

}  // namespace
}  // namespace drumel
