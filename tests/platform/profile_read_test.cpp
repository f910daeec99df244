#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/profile.hpp"
#include "temporary_folder.hpp"

namespace automation {
namespace {

using test_support::TemporaryFolder;
using test_support::write_file;

// The value text of a read, checked to end in the NUL the count points at.
std::string read_value(const std::string& file, const char* section, const char* key, const char* default_text,
                       DWORD size = 255) {
  std::vector<char> buffer(size + 1, '#');
  const DWORD count = GetPrivateProfileStringA(section, key, default_text, buffer.data(), size, file.c_str());
  EXPECT_LT(count, size);
  EXPECT_EQ(buffer[count], '\0');
  EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
  return std::string(buffer.data(), count);
}

// A NUL-separated list up to and with the two NULs that end it.
std::string read_list(const std::string& file, const char* section, DWORD size, DWORD& count) {
  std::vector<char> buffer(size + 1, '#');
  count = GetPrivateProfileStringA(section, nullptr, "default", buffer.data(), size, file.c_str());
  EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
  const std::string_view written(buffer.data(), size);
  const auto end = written.find(std::string_view("\0\0", 2));
  return std::string(written.substr(0, end == std::string_view::npos ? size : end + 2));
}

// Lines of one file; joined with each kind of line break for the tests below.
const std::vector<std::string> kSampleLines = {
    "; settings of the door frame cutter",
    "[General]",
    "  Name = Value With Case  ",
    "Quoted=\"  spaced  \"",
    "Single='x'",
    "Mismatched=\"abc'",
    "Empty=",
    "Semicolon=a;b ; not a comment",
    "   ; Commented=out",
    "NoEquals line",
    "=no name",
    "Dup=first",
    "dup=second",
    "[general]",
    "Extra=only in the second copy",
    "[ Other ]",
    "\tTabbed\t=\ttab value\t",
    "[\xC8"
    "e\x9Atina]",  // Czech section name in Windows-1250
    "K\xEC=1",
};

std::string joined(const std::string& line_break, bool final_break) {
  std::string content;
  for (std::size_t i = 0; i < kSampleLines.size(); ++i) {
    content += kSampleLines[i];
    if (i + 1 < kSampleLines.size() || final_break) content += line_break;
  }
  return content;
}

struct ReadCase {
  const char* section;
  const char* key;
  const char* default_text;
  std::string expected;
};

const std::vector<ReadCase> kReadCases = {
    {"general", "NAME", "d", "Value With Case"},
    {" General\t", " Name ", "d", "Value With Case"},
    {"GENERAL", "quoted", "", "  spaced  "},
    {"General", "Single", "", "x"},
    {"General", "Mismatched", "", "\"abc'"},
    {"General", "Empty", "d", ""},
    {"General", "Semicolon", "", "a;b ; not a comment"},
    {"General", "Commented", "gone", "gone"},
    {"General", "NoEquals line", "gone", "gone"},
    {"General", "Dup", "", "first"},
    {"General", "Extra", "hidden", "hidden"},
    {"Other", "Tabbed", "", "tab value"},
    {"\xE8"
     "E\x8ATINA",
     "k\xCC", "", "1"},
    {"General", "Missing", "abc \t ", "abc"},
    {"General", "Missing", nullptr, ""},
    {"Missing", "Name", "  ", ""},
    {"Missing", "Name", "default", "default"},
};

class ProfileRead : public testing::TestWithParam<std::pair<std::string, bool>> {};

TEST_P(ProfileRead, ValuesDefaultsAndListsWithEveryLineBreak) {
  const TemporaryFolder folder;
  const std::string file = folder.file("sample.ini");
  write_file(file, joined(GetParam().first, GetParam().second));
  for (const ReadCase& read : kReadCases)
    EXPECT_EQ(read_value(file, read.section, read.key, read.default_text), read.expected)
        << read.section << " / " << read.key;

  DWORD count = 0;
  const std::string sections = read_list(file, nullptr, 255, count);
  EXPECT_EQ(sections, std::string("General\0Other\0\xC8"
                                  "e\x9Atina\0\0",
                                  23));
  EXPECT_EQ(count, 22u);
  const std::string keys = read_list(file, "GENERAL", 255, count);
  EXPECT_EQ(keys, std::string("Name\0Quoted\0Single\0Mismatched\0Empty\0Semicolon\0Dup\0\0", 51));
  EXPECT_EQ(count, 50u);
}

INSTANTIATE_TEST_SUITE_P(LineBreaks, ProfileRead,
                         testing::Values(std::pair{std::string("\r\n"), true}, std::pair{std::string("\n"), true},
                                         std::pair{std::string("\r"), true}, std::pair{std::string("\r\n"), false},
                                         std::pair{std::string("\n"), false}, std::pair{std::string("\r"), false}));

TEST(ProfileRead, ValuesAreCutToSizeMinusOne) {
  const TemporaryFolder folder;
  const std::string file = folder.file("long.ini");
  const std::string long_value(300, 'v');
  write_file(file, "[s]\r\nk=" + long_value + "\r\n");
  EXPECT_EQ(read_value(file, "s", "k", ""), long_value.substr(0, 254));
  EXPECT_EQ(read_value(file, "s", "k", "", 1), "");
  EXPECT_EQ(read_value(file, "s", "k", "", 2), "v");
  EXPECT_EQ(read_value(file, "s", "missing", "defaultdefault", 5), "defa");

  char untouched = '#';
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", &untouched, 0, file.c_str()), 0u);
  EXPECT_EQ(untouched, '#');
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", nullptr, 255, file.c_str()), 0u);
}

TEST(ProfileRead, ListsCutToFitEndInTwoNulsAndCountSizeMinusTwo) {
  const TemporaryFolder folder;
  const std::string file = folder.file("list.ini");
  write_file(file, "[s]\r\nalpha=1\r\nbeta=2\r\n[t]\r\n");
  DWORD count = 0;
  // The whole list "alpha\0beta\0\0" needs 12 bytes.
  EXPECT_EQ(read_list(file, "s", 12, count), std::string("alpha\0beta\0\0", 12));
  EXPECT_EQ(count, 11u);
  EXPECT_EQ(read_list(file, "s", 11, count), std::string("alpha\0bet\0\0", 11));
  EXPECT_EQ(count, 9u);
  EXPECT_EQ(read_list(file, "s", 7, count), std::string("alpha\0\0", 7));
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(read_list(file, "s", 4, count), std::string("al\0\0", 4));
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(read_list(file, "s", 1, count), std::string("\0", 1));
  EXPECT_EQ(count, 0u);
  // A section without keys, or none at all, gives the default instead of an empty list.
  EXPECT_EQ(read_value(file, "t", nullptr, "none "), "none");
  EXPECT_EQ(read_value(file, "u", nullptr, "none"), "none");
}

TEST(ProfileRead, MissingFilesFoldersAndNullNamesGiveDefaultsOrEmptyLists) {
  const TemporaryFolder folder;
  DWORD count = 99;
  EXPECT_EQ(read_list(folder.file("missing.ini"), nullptr, 10, count), std::string("\0\0", 2));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(read_value(folder.file("missing.ini"), "s", "k", "d"), "d");
  EXPECT_EQ(read_value(folder.path().string(), "s", "k", "d"), "d");  // a folder is no profile
  std::vector<char> buffer(10, '#');
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "d", buffer.data(), 10, nullptr), 1u);
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "d", buffer.data(), 10, ""), 1u);
}

TEST(ProfileRead, AnyBytesParse) {
  const TemporaryFolder folder;
  const std::string file = folder.file("odd.ini");
  using namespace std::string_literals;
  write_file(file,
             "[bin\0ary]\r\nk\0ey=va\0lue\n"s + std::string(1 << 20, 'x') + "\r\xFF\xFE=\x01\r[s]\r\r\n\n\rk= tail "s);
  EXPECT_EQ(read_value(file, "s", "k", ""), "tail");
  DWORD count = 0;
  EXPECT_EQ(read_list(file, nullptr, 255, count), "bin\0ary\0s\0\0"s);
  EXPECT_EQ(count, 10u);
}

}  // namespace
}  // namespace automation
