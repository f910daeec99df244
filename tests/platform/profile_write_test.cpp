#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "automation/profile.hpp"
#include "temporary_folder.hpp"

namespace automation {
namespace {

using test_support::CurrentDirectory;
using test_support::read_file;
using test_support::TemporaryFolder;
using test_support::write_file;

std::string read_value(const std::string& file, const char* section, const char* key, const char* default_text) {
  char buffer[255];
  const DWORD count = GetPrivateProfileStringA(section, key, default_text, buffer, sizeof buffer, file.c_str());
  return std::string(buffer, count);
}

std::vector<std::string> folder_entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

struct WriteCase {
  const char* what;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

const std::vector<WriteCase> kWriteCases = {
    {"existing key keeps its place and spelling", "[S]\nKey = old\nOther=1\n", "s", "KEY", "new",
     "[S]\nKey=new\nOther=1\n"},
    {"value exactly as given, names trimmed", "[S]\r\n", " s ", "\tk ", "inner  'v'  blanks",
     "[S]\r\nk=inner  'v'  blanks\r\n"},
    {"empty value", "[S]\nk=1\n", "S", "k", "", "[S]\nk=\n"},
    {"new key after the last key, before blanks and comments", "[a]\nx=1\n\n; about b\n[b]\ny=2\n", "a", "z", "3",
     "[a]\nx=1\nz=3\n\n; about b\n[b]\ny=2\n"},
    {"new key right after a header without keys", "[a]\n; note\n", "A", "k", "v", "[a]\nk=v\n; note\n"},
    {"new key after a last line without break", "[a]\nx=1", "a", "y", "2", "[a]\nx=1\ny=2\n"},
    {"new key ends like the line before it, so no blank line merges into it", "; c\r[a]\nx=1\n\n", "a", "y", "2",
     "; c\r[a]\nx=1\ny=2\n\n"},
    {"new section at the end, file's line break", "; top\r[a]\rx=1", "b", "k", "v", "; top\r[a]\rx=1\r[b]\rk=v\r"},
    {"new section in an empty file uses CR LF", "", "b", "k", "v", "[b]\r\nk=v\r\n"},
    {"first duplicate section and key are the ones set", "[a]\nk=1\nk=2\n[A]\nk=3\n", "a", "K", "9",
     "[a]\nk=9\nk=2\n[A]\nk=3\n"},
    {"same value leaves the file as it is", "[a]\r\nk=v\n", "a", "k", "v", "[a]\r\nk=v\n"},
    {"null value removes the key and its duplicates", "[a]\nk=1\nother=2\nK = 3\n[b]\nk=4\n[a]\nk=5\n; c\n", "a", "k",
     nullptr, "[a]\nother=2\n[b]\nk=4\n[a]\n; c\n"},
    {"null value of a missing key changes nothing", "[a]\nk=1\n", "a", "x", nullptr, "[a]\nk=1\n"},
    {"null key removes the section and its duplicates", "; top\n[a]\nk=1\n; in a\n\n[b]\nj=2\n[A]\nk=3", "a", nullptr,
     nullptr, "; top\n[b]\nj=2\n"},
    {"odd blanks, quotes and comments of other parts stay", "[a]\r\n \tk\t= ' q ' \r\n;c=1\n\n[b]\nx=1\r", "b", "y",
     "2", "[a]\r\n \tk\t= ' q ' \r\n;c=1\n\n[b]\nx=1\ry=2\r"},
};

TEST(ProfileWrite, ChangesOnlyWhatIsAsked) {
  for (const WriteCase& write : kWriteCases) {
    const TemporaryFolder folder;
    const std::string file = folder.file("w.ini");
    write_file(file, write.before);
    EXPECT_NE(WritePrivateProfileStringA(write.section, write.key, write.value, file.c_str()), 0) << write.what;
    EXPECT_EQ(read_file(file), write.after) << write.what;
    EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{"w.ini"}) << write.what;
  }
}

TEST(ProfileWrite, WrittenValuesReadBackWhileOthersStay) {
  const TemporaryFolder folder;
  const std::string file = folder.file("round.ini");
  const std::string original = "; c\r[one]\r\n a = \"1\" \n[two]\rb=2\r\n[one]\nhidden=1\n";
  write_file(file, original);
  ASSERT_NE(WritePrivateProfileStringA("two", "c", "3", file.c_str()), 0);
  ASSERT_NE(WritePrivateProfileStringA("three", "d", "4", file.c_str()), 0);
  for (const auto& [section, key, expected] : std::vector<std::tuple<const char*, const char*, std::string>>{
           {"one", "a", "1"}, {"two", "b", "2"}, {"two", "c", "3"}, {"three", "d", "4"}, {"one", "hidden", "x"}})
    EXPECT_EQ(read_value(file, section, key, "x"), expected) << section << "/" << key;
}

TEST(ProfileWrite, NewFileIsCreatedRelativeToTheCurrentDirectory) {
  const TemporaryFolder folder;
  const CurrentDirectory inside(folder.path());
  ASSERT_NE(WritePrivateProfileStringA("s", "k", "v", "relative.ini"), 0);
  EXPECT_EQ(read_file(folder.file("relative.ini")), "[s]\r\nk=v\r\n");
  EXPECT_EQ(read_value("relative.ini", "s", "k", ""), "v");
}

TEST(ProfileWrite, RemovalsOnAMissingFileCreateNothing) {
  const TemporaryFolder folder;
  const std::string file = folder.file("missing.ini");
  EXPECT_NE(WritePrivateProfileStringA("s", "k", nullptr, file.c_str()), 0);
  EXPECT_NE(WritePrivateProfileStringA("s", nullptr, nullptr, file.c_str()), 0);
  EXPECT_TRUE(folder_entries(folder.path()).empty());
}

TEST(ProfileWrite, TextsThatWouldReadBackAsSomethingElseAreRefused) {
  struct Refused {
    const char* section;
    const char* key;
    const char* value;
    const char* file;
  };
  const TemporaryFolder folder;
  const std::string file = folder.file("r.ini");
  const std::string original = "[s]\nk=1\n";
  write_file(file, original);
  const std::string star = folder.file("*.ini");
  const std::string question = folder.file("a?.ini");
  for (const Refused& refused : std::vector<Refused>{
           {"s", "k", "line\nbreak", file.c_str()},
           {"s", "k", "carriage\rreturn", file.c_str()},
           // Blanks around a value and one pair of quotes around it go when it is read.
           {"s", "k", "\"quoted\"", file.c_str()},
           {"s", "k", "'quoted'", file.c_str()},
           {"s", "k", "  padded  ", file.c_str()},
           {"s", "k", "trailing\t", file.c_str()},
           {"s\n[t]", "k", "v", file.c_str()},
           {"s", "a=b", "v", file.c_str()},
           {"s", " ;c", "v", file.c_str()},
           {"s", "[t]", "v", file.c_str()},
           {"s", " ", "v", file.c_str()},
           {nullptr, "k", "v", file.c_str()},
           {"s", "k", "v", nullptr},
           {"s", "k", "v", ""},
           {"s", "k", "v", star.c_str()},
           {"s", "k", "v", question.c_str()},
           {"s", "k", "v", folder.path().c_str()},
       }) {
    EXPECT_EQ(WritePrivateProfileStringA(refused.section, refused.key, refused.value, refused.file), 0)
        << (refused.key ? refused.key : "(null)");
  }
  EXPECT_EQ(read_file(file), original);
  EXPECT_EQ(folder_entries(folder.path()), std::vector<std::string>{"r.ini"});
}

TEST(ProfileWrite, AFileWithAWildcardInItsNameCanBeChangedButNotCreated) {
  const TemporaryFolder folder;
  const std::string file = folder.file("odd*.ini");
  write_file(file, "[s]\r\n");
  EXPECT_NE(WritePrivateProfileStringA("s", "k", "v", file.c_str()), 0);
  EXPECT_EQ(read_file(file), "[s]\r\nk=v\r\n");
}

TEST(ProfileWrite, PermissionsAndLinksSurviveTheReplacement) {
  const TemporaryFolder folder;
  const std::string target = folder.file("target.ini");
  const std::string link = folder.file("link.ini");
  write_file(target, "[s]\nk=1\n");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  std::filesystem::create_symlink("target.ini", link);
  ASSERT_NE(WritePrivateProfileStringA("s", "k", "2", link.c_str()), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(read_file(target), "[s]\nk=2\n");
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(folder_entries(folder.path()), (std::vector<std::string>{"link.ini", "target.ini"}));
}

}  // namespace
}  // namespace automation
