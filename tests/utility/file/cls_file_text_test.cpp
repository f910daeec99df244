#include <sys/stat.h>

#include <cerrno>
#include <functional>

#include "automation/code_page.hpp"
#include "automation/host_hooks.hpp"
#include "cls_file_test_support.hpp"
#include "scoped_file_system.hpp"
#include "without_permission_override.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::kFalse;
using automation::kMsgBoxCritical;
using automation::kTrue;
using test_support::ShownBox;

const ShownBox kNotFoundBox{u"File not found. Check if the file is Currently exists.", u"Sorry", kMsgBoxCritical};

ShownBox error_box(const char16_t* number_and_description) {
  return {number_and_description, u"Error", kMsgBoxCritical};
}

uint32_t permissions_of(const std::filesystem::path& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_mode & 07777u;
}

std::vector<std::string> names_in(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

using TextFile = ClsFileTest;

TEST_F(TextFile, LoadTextKeepsLineEndsAndEveryByte) {
  std::string all_bytes;
  for (int value = 0; value < 256; ++value) all_bytes.push_back(static_cast<char>(value));
  for (const std::string& content : {std::string("one\r\ntwo\nthree\rfour\r\n"), all_bytes}) {
    write("f", content);
    Bstr name = path("f");
    Bstr text = file_->LoadText(name);
    EXPECT_EQ(text.str(), automation::from_ansi(content));
    Bstr copy = path("copy");
    EXPECT_EQ(file_->SaveText(text, copy), kTrue);
    EXPECT_EQ(read("copy"), content);
  }
  // The Windows-1250 letters the deployment writes.
  write("f", "\x8A\xE8\x9E");
  Bstr name = path("f");
  EXPECT_EQ(file_->LoadText(name).str(), u"\u0160\u010D\u017E");
  EXPECT_TRUE(boxes().empty());
}

TEST_F(TextFile, LoadTextOfAnEmptyFileIsEmptyWithoutABox) {
  write("f", "");
  Bstr name = path("f");
  const Bstr text = file_->LoadText(name);
  EXPECT_FALSE(text.is_null());
  EXPECT_EQ(text.str(), u"");
  EXPECT_TRUE(boxes().empty());
}

// Files under /proc report a size of 0 and have content all the same.
TEST_F(TextFile, LoadTextReadsFilesThatReportNoSizeToTheEnd) {
  Bstr name(u"/proc/self/status");
  const std::u16string text = file_->LoadText(name).str();
  EXPECT_EQ(text.rfind(u"Name:", 0), 0u) << text.size();
  EXPECT_NE(text.find(u"VmPeak:"), std::u16string::npos);
  EXPECT_TRUE(boxes().empty());
}

TEST_F(TextFile, LoadTextOfAMissingFileOrAFolderSaysSorry) {
  std::filesystem::create_directory(at("folder"));
  for (const std::string name : {"missing", "folder"}) {
    boxes_.clear();
    Bstr path_name = path(name);
    EXPECT_EQ(file_->LoadText(path_name).str(), u"") << name;
    EXPECT_EQ(boxes(), std::vector<ShownBox>{kNotFoundBox}) << name;
  }
}

TEST_F(TextFile, FileExistsForFilesOnlyAndWithoutABox) {
  write("empty", "");
  std::filesystem::create_directory(at("folder"));
  struct Case {
    Bstr path;
    bool exists;
  };
  const std::vector<Case> cases = {{path("empty"), true},
                                   {path("missing"), false},
                                   {path("folder"), false},
                                   {path("missing/empty"), false},
                                   {Bstr(path("empty").str() + u'\0'), false},
                                   {Bstr(u""), false}};
  for (Case c : cases)
    EXPECT_EQ(file_->FileExists(c.path), automation::VariantBool::from(c.exists)) << c.path.to_utf8();
  EXPECT_TRUE(boxes().empty());
}

TEST_F(TextFile, SaveTextWritesExactlyTheTextOverAnyOldContent) {
  write("f", std::string(1000, 'x'));
  Bstr name = path("f");
  Bstr text(u"line\r\n\u010Dup \u4E2D");  // the last character is outside the code page
  EXPECT_EQ(file_->SaveText(text, name), kTrue);
  EXPECT_EQ(read("f"), "line\r\n\xE8up ?");
  EXPECT_EQ(file_->LoadText(name).str(), u"line\r\n\u010Dup ?");
  Bstr empty(u"");
  EXPECT_EQ(file_->SaveText(empty, name), kTrue);
  EXPECT_EQ(read("f"), "");
  EXPECT_EQ(names_in(folder_.path()), std::vector<std::string>{"f"});
  EXPECT_TRUE(boxes().empty());
}

TEST_F(TextFile, SaveTextKeepsTheOldPermissionsAndGivesNewFilesTheUsualOnes) {
  write("f", "old");
  ::chmod(at("f").c_str(), 0640);
  Bstr name = path("f");
  Bstr text(u"new");
  EXPECT_EQ(file_->SaveText(text, name), kTrue);
  EXPECT_EQ(permissions_of(at("f")), 0640u);

  const mode_t mask = ::umask(0);
  ::umask(mask);
  Bstr fresh = path("fresh");
  EXPECT_EQ(file_->SaveText(text, fresh), kTrue);
  EXPECT_EQ(permissions_of(at("fresh")), 0666u & ~mask);
}

// As INI writes do: the link stays and what it points at gets the text.
TEST_F(TextFile, SaveTextThroughALinkWritesItsTarget) {
  std::filesystem::create_directory(at("real"));
  write("real/f", "old");
  std::filesystem::create_symlink("real/f", at("link"));
  Bstr name = path("link");
  Bstr text(u"new");
  EXPECT_EQ(file_->SaveText(text, name), kTrue);
  EXPECT_TRUE(std::filesystem::is_symlink(at("link")));
  EXPECT_EQ(read("real/f"), "new");
  EXPECT_EQ(names_in(at("real")), std::vector<std::string>{"f"});
  EXPECT_TRUE(boxes().empty());
}

TEST_F(TextFile, SaveTextIntoAMissingFolderCreatesNothing) {
  Bstr name = path("no such folder/f.txt");
  Bstr text(u"text");
  EXPECT_EQ(file_->SaveText(text, name), kFalse);
  EXPECT_EQ(boxes(), std::vector<ShownBox>{error_box(u"Error 76\r\nPath not found")});
  EXPECT_TRUE(names_in(folder_.path()).empty());
}

TEST_F(TextFile, SaveTextRefusesReadOnlyFilesAndFolders) {
  write("read only", "kept");
  ::chmod(at("read only").c_str(), 0444);
  std::filesystem::create_directory(at("folder"));
  test_support::WithoutPermissionOverride as_ordinary_user;
  Bstr text(u"new");
  Bstr read_only = path("read only");
  Bstr folder = path("folder");
  EXPECT_EQ(file_->SaveText(text, read_only), kFalse);
  EXPECT_EQ(file_->SaveText(text, folder), kFalse);
  EXPECT_EQ(boxes(), (std::vector<ShownBox>{error_box(u"Error 70\r\nPermission denied"),
                                            error_box(u"Error 75\r\nPath/File access error")}));
  EXPECT_EQ(read("read only"), "kept");
  EXPECT_EQ(names_in(folder_.path()), (std::vector<std::string>{"folder", "read only"}));
}

// Whatever step fails, the old file keeps its content and no temporary file
// is left beside it.
TEST_F(TextFile, FailedSaveTextLeavesTheOldFileIntact) {
  struct Case {
    const char* name;
    std::function<void(automation::FileSystem&)> break_it;
    const char16_t* error;
  };
  const std::vector<Case> cases = {
      {"disk full",
       [](auto& fs) { fs.write = [](int, const void*, std::size_t, int64_t) -> int64_t { return -ENOSPC; }; },
       u"Error 57\r\nDevice I/O error"},
      {"flush fails", [](auto& fs) { fs.flush = [](int) { return -EIO; }; }, u"Error 57\r\nDevice I/O error"},
      {"rename refused", [](auto& fs) { fs.rename = [](const char*, const char*) { return -EACCES; }; },
       u"Error 70\r\nPermission denied"},
      {"permissions cannot be copied", [](auto& fs) { fs.chmod = [](int, uint32_t) { return -EPERM; }; },
       u"Error 70\r\nPermission denied"},
      {"late close failure",
       [](auto& fs) {
         fs.close = [](int file) {
           automation::native_file_system().close(file);
           return -EIO;
         };
       },
       u"Error 57\r\nDevice I/O error"},
  };
  for (const Case& c : cases) {
    boxes_.clear();
    write("f", "old content");
    automation::FileSystem broken;
    c.break_it(broken);
    test_support::ScopedFileSystem scoped(broken);
    Bstr name = path("f");
    Bstr text(u"new content");
    EXPECT_EQ(file_->SaveText(text, name), kFalse) << c.name;
    EXPECT_EQ(boxes(), std::vector<ShownBox>{error_box(c.error)}) << c.name;
    EXPECT_EQ(read("f"), "old content") << c.name;
    EXPECT_EQ(names_in(folder_.path()), std::vector<std::string>{"f"}) << c.name;
  }
}

// Long texts are converted and written a piece at a time: the pieces join
// up exactly, and a write failing after the first piece still leaves the old
// file as it was.
TEST_F(TextFile, LongTextsAreSavedWholeOrNotAtAll) {
  std::u16string long_text;
  while (long_text.size() < 700000) long_text += u"\u0160e\u0107er 0123456789 abcdefghij \u4E2D\r\n";
  Bstr text(long_text);
  Bstr name = path("f");
  EXPECT_EQ(file_->SaveText(text, name), kTrue);
  EXPECT_EQ(read("f"), automation::to_ansi(long_text));
  EXPECT_EQ(file_->LoadText(name).str(), automation::ansi_round_trip(long_text));

  write("f", "old content");
  int writes = 0;
  automation::FileSystem filling;
  filling.write = [&](int file, const void* data, std::size_t count, int64_t offset) -> int64_t {
    if (++writes > 1) return -ENOSPC;
    return automation::native_file_system().write(file, data, count, offset);
  };
  test_support::ScopedFileSystem scoped(filling);
  EXPECT_EQ(file_->SaveText(text, name), kFalse);
  EXPECT_GT(writes, 1);
  EXPECT_EQ(boxes(), std::vector<ShownBox>{error_box(u"Error 57\r\nDevice I/O error")});
  EXPECT_EQ(read("f"), "old content");
  EXPECT_EQ(names_in(folder_.path()), std::vector<std::string>{"f"});
}

TEST_F(TextFile, SaveTextSaysSorryWhenTheFileIsNotThereAfterwards) {
  automation::FileSystem forgetful;
  forgetful.stat = [](const char*, automation::FileStatus&) { return -ENOENT; };
  test_support::ScopedFileSystem scoped(forgetful);
  Bstr name = path("f");
  Bstr text(u"text");
  EXPECT_EQ(file_->SaveText(text, name), kFalse);
  EXPECT_EQ(boxes(),
            (std::vector<ShownBox>{{u"Unexpectd error occured. File could not be saved", u"Sorry", kMsgBoxCritical}}));
}

TEST_F(TextFile, LoadTextFailuresShowTheFileError) {
  write("f", "content");
  const auto& native = automation::native_file_system();
  struct Case {
    const char* name;
    std::function<void(automation::FileSystem&)> break_it;
    const char16_t* error;
  };
  const std::vector<Case> cases = {
      {"removed after the presence check",
       [](auto& fs) { fs.open = [](const char*, int, uint32_t) { return -ENOENT; }; }, u"Error 53\r\nFile not found"},
      {"device error", [](auto& fs) { fs.read = [](int, void*, std::size_t, int64_t) -> int64_t { return -EIO; }; },
       u"Error 57\r\nDevice I/O error"},
      {"busy", [](auto& fs) { fs.open = [](const char*, int, uint32_t) { return -ETXTBSY; }; },
       u"Error 75\r\nPath/File access error"},
      {"not a folder on the way", [](auto& fs) { fs.open = [](const char*, int, uint32_t) { return -ENOTDIR; }; },
       u"Error 76\r\nPath not found"},
  };
  for (const Case& c : cases) {
    boxes_.clear();
    automation::FileSystem broken;
    broken.stat = native.stat;
    c.break_it(broken);
    test_support::ScopedFileSystem scoped(broken);
    Bstr name = path("f");
    EXPECT_EQ(file_->LoadText(name).str(), u"") << c.name;
    EXPECT_EQ(boxes(), std::vector<ShownBox>{error_box(c.error)}) << c.name;
  }
  // And an unreadable file for real.
  boxes_.clear();
  ::chmod(at("f").c_str(), 0);
  test_support::WithoutPermissionOverride as_ordinary_user;
  Bstr name = path("f");
  EXPECT_EQ(file_->LoadText(name).str(), u"");
  EXPECT_EQ(boxes(), std::vector<ShownBox>{error_box(u"Error 70\r\nPermission denied")});
}

}  // namespace
}  // namespace drumel
