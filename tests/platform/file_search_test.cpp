#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "automation/file_search.hpp"
#include "temporary_folder.hpp"

namespace automation {
namespace {

using test_support::CurrentDirectory;
using test_support::TemporaryFolder;
using test_support::write_file;

struct SearchCase {
  std::string pattern;  // relative to the test folder
  std::string found;    // empty: nothing found
};

TEST(FileSearch, FindsOrdinaryFilesOnlyWithStarAndQuestionMark) {
  const TemporaryFolder folder;
  write_file(folder.file("app.ini"), "");
  write_file(folder.file(".hidden.ini"), "");
  write_file(folder.file("x[1].ini"), "");
  write_file(folder.file("back\\slash.cfg"), "");
  std::filesystem::create_directory(folder.path() / "folder.ini");
  std::filesystem::create_directory(folder.path() / "sub");
  write_file(folder.file("sub/inner.ini"), "");
  ASSERT_EQ(::mkfifo(folder.file("pipe.fifo").c_str(), 0600), 0);
  std::filesystem::create_symlink("app.ini", folder.path() / "link.lnk");
  std::filesystem::create_symlink("missing.ini", folder.path() / "dangling.lnk");

  const std::vector<SearchCase> cases = {
      {"app.ini", "app.ini"},
      {"a*.ini", "app.ini"},
      {"a??.ini", "app.ini"},
      {"a?.ini", ""},
      {"*.INI", ""},                   // names keep the file system's case
      {".hidden.ini", ".hidden.ini"},  // named exactly, a dot-file is found
      {"*hidden.ini", ""},             // a wildcard never matches the leading dot
      {"?hidden.ini", ""},
      {"x[1].ini", "x[1].ini"},  // '[' is a plain character
      {"x[*", "x[1].ini"},
      {"[ax]pp.ini", ""},
      {"back\\slash.*", "back\\slash.cfg"},
      {"folder.ini", ""},
      {"folder*", ""},
      {"pipe.*", ""},
      {"link.lnk", "link.lnk"},  // a link to a regular file is an ordinary file
      {"dangling.*", ""},
      {"sub/*.ini", "sub/inner.ini"},
      {"s*/inner.ini", ""},  // wildcards only in the last part
      {"missing.ini", ""},
      {"nowhere/*.ini", ""},
      {"sub/", ""},
      {"", ""},
  };
  for (const SearchCase& search : cases) {
    const auto found = find_first_ordinary_file(folder.file(search.pattern));
    EXPECT_EQ(found.value_or(""), search.found.empty() ? "" : folder.file(search.found)) << search.pattern;
  }
}

TEST(FileSearch, RelativePatternsStartAtTheCurrentDirectory) {
  const TemporaryFolder folder;
  write_file(folder.file("settings.ini"), "");
  const CurrentDirectory inside(folder.path());
  EXPECT_EQ(find_first_ordinary_file("settings.ini").value_or(""), "settings.ini");
  EXPECT_EQ(find_first_ordinary_file("*.ini").value_or(""), "settings.ini");
  EXPECT_EQ(find_first_ordinary_file("./s*").value_or(""), "./settings.ini");
  EXPECT_FALSE(find_first_ordinary_file("").has_value());
}

}  // namespace
}  // namespace automation
