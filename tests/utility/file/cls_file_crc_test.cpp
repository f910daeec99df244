#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "cls_file_test_support.hpp"
#include "scoped_file_system.hpp"
#include "without_permission_override.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::kFalse;
using automation::kTrue;

constexpr uint32_t kCastagnoli = 0x82F63B78u;

using FileCrc = ClsFileTest;

TEST_F(FileCrc, CheckValuesAndHexDigitsWithoutLeadingZeros) {
  struct Case {
    std::string content;
    int32_t crc;
    std::u16string hex;
  };
  const std::vector<Case> cases = {
      {"123456789", -873187034, u"CBF43926"},
      {"c", 0x06B9DF6F, u"6B9DF6F"},
      {"", 0, u"0"},
  };
  for (const Case& c : cases) {
    write("f", c.content);
    Bstr name = path("f");
    EXPECT_EQ(file_->CRC32File(name), c.crc) << c.content;
    EXPECT_EQ(file_->CRC32FileHex(name).str(), c.hex) << c.content;
    EXPECT_EQ(name, path("f"));
  }
  EXPECT_TRUE(boxes().empty());
}

TEST_F(FileCrc, AddAppendsTheTrailerThatCheckThenConfirms) {
  const std::string content = random_text(100000, 1);
  write("f", content);
  Bstr name = path("f");
  const int32_t crc = file_->CRC32File(name, kFalse, kTrue);
  EXPECT_EQ(crc, zlib_crc(content));
  EXPECT_EQ(read("f"), content + trailer_of(crc));
  EXPECT_EQ(file_->CRC32File(name, kTrue), -1);
  EXPECT_EQ(file_->CRC32FileHex(name, kTrue).str(), u"FFFFFFFF");
  EXPECT_EQ(read("f"), content + trailer_of(crc));
}

TEST_F(FileCrc, EmptyFileGetsFourZeroBytes) {
  write("f", "");
  Bstr name = path("f");
  EXPECT_EQ(file_->CRC32File(name, kFalse, kTrue), 0);
  EXPECT_EQ(read("f"), std::string(4, '\0'));
  EXPECT_EQ(file_->CRC32File(name, kTrue), -1);
}

TEST_F(FileCrc, DamagedTrailerFailsAndCheckWithAddRepairsIt) {
  const std::string content = "The quick brown fox";
  const std::string damaged = content + trailer_of(zlib_crc(content) ^ 0x100);
  write("f", damaged);
  Bstr name = path("f");
  EXPECT_EQ(file_->CRC32File(name, kTrue), 0);
  EXPECT_EQ(file_->CRC32FileHex(name, kTrue).str(), u"0");
  EXPECT_EQ(read("f"), damaged);
  EXPECT_EQ(file_->CRC32File(name, kTrue, kTrue), 0);  // the old trailer decides
  EXPECT_EQ(read("f"), content + trailer_of(zlib_crc(content)));
  EXPECT_EQ(file_->CRC32File(name, kTrue), -1);
}

TEST_F(FileCrc, CheckNeedsFourBytes) {
  for (const std::string& content : {std::string(), std::string("a"), std::string("ab"), std::string("abc")}) {
    write("f", content);
    Bstr name = path("f");
    EXPECT_EQ(file_->CRC32File(name, kTrue), 0) << content.size();
    EXPECT_EQ(file_->CRC32File(name, kTrue, kTrue), 0) << content.size();
    EXPECT_EQ(read("f"), content);
  }
  // Four bytes: nothing hashed, CRC 0, so only a zero trailer matches.
  Bstr name = path("four");
  write("four", std::string(4, '\0'));
  EXPECT_EQ(file_->CRC32File(name, kTrue), -1);
  write("four", std::string("\0\0\0\1", 4));
  EXPECT_EQ(file_->CRC32File(name, kTrue), 0);
}

TEST_F(FileCrc, MissingFileIsNeverCreated) {
  Bstr name = path("missing");
  for (const auto& [check, add] : {std::pair{kFalse, kFalse}, {kFalse, kTrue}, {kTrue, kFalse}, {kTrue, kTrue}}) {
    EXPECT_EQ(file_->CRC32File(name, check, add), 0);
    EXPECT_EQ(file_->CRC32FileHex(name, check, add).str(), u"0");
  }
  EXPECT_FALSE(std::filesystem::exists(at("missing")));
  Bstr in_missing_folder = path("no/such/file");
  EXPECT_EQ(file_->CRC32File(in_missing_folder, kFalse, kTrue), 0);
  EXPECT_TRUE(boxes().empty());
}

TEST_F(FileCrc, FoldersFifosAndPathsWithNulFail) {
  std::filesystem::create_directory(at("folder"));
  write("f", "123456789");
  Bstr folder = path("folder");
  Bstr with_nul(path("f").str() + u'\0' + u"x");
  EXPECT_EQ(file_->CRC32File(folder), 0);
  EXPECT_EQ(file_->CRC32File(folder, kFalse, kTrue), 0);
  EXPECT_EQ(file_->CRC32File(with_nul), 0);
  // A FIFO with no writer would block an ordinary open for reading.
  ASSERT_EQ(mkfifo(at("pipe").c_str(), 0600), 0);
  Bstr pipe = path("pipe");
  EXPECT_EQ(file_->CRC32File(pipe), 0);
  EXPECT_EQ(file_->CRC32File(pipe, kTrue, kTrue), 0);
  EXPECT_TRUE(boxes().empty());
}

TEST_F(FileCrc, EachInstanceKeepsItsOwnPolynomial) {
  write("f", "123456789");
  Bstr name = path("f");
  auto custom = clsFile::create();
  custom->CRCInit(static_cast<int32_t>(kCastagnoli));
  EXPECT_EQ(custom->CRC32FileHex(name).str(), u"E3069283");
  EXPECT_EQ(file_->CRC32FileHex(name).str(), u"CBF43926");
  EXPECT_EQ(clsFile::create()->CRC32FileHex(name).str(), u"CBF43926");
  custom->CRCInit();
  EXPECT_EQ(custom->CRC32File(name), -873187034);
  // A trailer written under one polynomial checks under it only.
  custom->CRCInit(static_cast<int32_t>(kCastagnoli));
  EXPECT_EQ(custom->CRC32File(name, kFalse, kTrue), static_cast<int32_t>(0xE3069283u));
  EXPECT_EQ(custom->CRC32File(name, kTrue), -1);
  EXPECT_EQ(file_->CRC32File(name, kTrue), 0);
}

TEST_F(FileCrc, MatchesZlibForFilesOfManySizes) {
  const std::vector<std::size_t> sizes = {1,      2,      3,      5,      15,     16,     17,      63,
                                          64,     65,     255,    256,    257,    4095,   4096,    4097,
                                          131071, 131072, 131073, 262143, 262144, 262145, 1000003, (1u << 21) + 7};
  for (const std::size_t size : sizes) {
    const std::string content = random_text(size, static_cast<uint32_t>(size));
    write("f", content);
    Bstr name = path("f");
    const int32_t crc = file_->CRC32File(name, kFalse, kTrue);
    ASSERT_EQ(crc, zlib_crc(content)) << size;
    ASSERT_EQ(file_->CRC32File(name, kTrue), -1) << size;
  }
}

// Lengths beyond a signed 32-bit count: a sparse file with data at its start.
TEST_F(FileCrc, FilesOfTwoGibibytesAndMore) {
  const int64_t size = (int64_t{1} << 31) + 5;
  write("big", "head");
  std::filesystem::resize_file(at("big"), static_cast<uintmax_t>(size));
  uLong expected = crc32(0, reinterpret_cast<const Bytef*>("head"), 4);
  const std::string zeros(1 << 20, '\0');
  for (int64_t left = size - 4; left > 0; left -= static_cast<int64_t>(zeros.size())) {
    const auto length = static_cast<uInt>(std::min<int64_t>(left, static_cast<int64_t>(zeros.size())));
    expected = crc32(expected, reinterpret_cast<const Bytef*>(zeros.data()), length);
  }
  Bstr name = path("big");
  EXPECT_EQ(file_->CRC32File(name), static_cast<int32_t>(static_cast<uint32_t>(expected)));
  EXPECT_EQ(file_->FileExists(name), kTrue);
}

TEST_F(FileCrc, ReadOnlyFileIsLeftAloneByAdd) {
  const std::string content = "read only";
  write("f", content);
  ::chmod(at("f").c_str(), 0444);
  test_support::WithoutPermissionOverride as_ordinary_user;
  Bstr name = path("f");
  EXPECT_EQ(file_->CRC32File(name), zlib_crc(content));
  EXPECT_EQ(file_->CRC32File(name, kFalse, kTrue), 0);
  EXPECT_EQ(file_->CRC32File(name, kTrue, kTrue), 0);
  EXPECT_EQ(read("f"), content);
  EXPECT_TRUE(boxes().empty());
}

// The trailer goes out in one write call and is flushed before success.
TEST_F(FileCrc, AddWritesOnceAndFlushes) {
  write("f", "payload");
  int writes = 0;
  int flushes = 0;
  automation::FileSystem counting;
  counting.write = [&](int file, const void* data, std::size_t count, int64_t offset) {
    ++writes;
    return automation::native_file_system().write(file, data, count, offset);
  };
  counting.flush = [&](int file) {
    ++flushes;
    return automation::native_file_system().flush(file);
  };
  test_support::ScopedFileSystem scoped(counting);
  Bstr name = path("f");
  EXPECT_EQ(file_->CRC32File(name, kFalse, kTrue), zlib_crc("payload"));
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(flushes, 1);
}

// Whatever fails while the trailer is written, the file is as it was before.
TEST_F(FileCrc, FailedAddLeavesTheFileAsItWas) {
  const std::string content = random_text(5000, 3);
  const std::string stale = content + trailer_of(12345);
  struct Case {
    const char* name;
    bool check;
    std::function<void(automation::FileSystem&)> break_it;
  };
  const auto& native = automation::native_file_system();
  const auto fail_write = [](automation::FileSystem& fs) {
    fs.write = [](int, const void*, std::size_t, int64_t) -> int64_t { return -ENOSPC; };
  };
  // Half the trailer reaches the file before the device gives up.
  const auto short_write = [&native](automation::FileSystem& fs) {
    fs.write = [&native](int file, const void* data, std::size_t count, int64_t offset) {
      return native.write(file, data, std::min<std::size_t>(count, 2), offset);
    };
  };
  const auto fail_flush = [](automation::FileSystem& fs) { fs.flush = [](int) { return -EIO; }; };
  const std::vector<Case> cases = {
      {"write fails", false, fail_write},
      {"short write", false, short_write},
      {"flush fails", false, fail_flush},
      {"write fails over trailer", true, fail_write},
      {"short write over trailer", true, short_write},
      {"flush fails over trailer", true, fail_flush},
  };
  for (const Case& c : cases) {
    const std::string before = c.check ? stale : content;
    write("f", before);
    automation::FileSystem broken;
    c.break_it(broken);
    test_support::ScopedFileSystem scoped(broken);
    Bstr name = path("f");
    EXPECT_EQ(file_->CRC32File(name, c.check ? kTrue : kFalse, kTrue), 0) << c.name;
    EXPECT_EQ(read("f"), before) << c.name;
  }
  EXPECT_TRUE(boxes().empty());
}

TEST_F(FileCrc, OpenAndReadFailuresGiveZero) {
  write("f", random_text(300000, 5));
  const auto& native = automation::native_file_system();
  automation::FileSystem no_open;
  no_open.open = [](const char*, int, uint32_t) { return -EACCES; };
  // Reads trickle in 4 KiB pieces; past 100000 bytes the device fails, or
  // the file ends early because it lost its end while it was read.
  constexpr int64_t kTrouble = 100000;
  automation::FileSystem read_fails_later;
  read_fails_later.read = [&native](int file, void* buffer, std::size_t count, int64_t offset) -> int64_t {
    if (offset >= kTrouble) return -EIO;
    return native.read(file, buffer, std::min<std::size_t>(count, 4096), offset);
  };
  automation::FileSystem cut_short;
  cut_short.read = [&native](int file, void* buffer, std::size_t count, int64_t offset) -> int64_t {
    if (offset >= kTrouble) return 0;
    return native.read(file, buffer, std::min<std::size_t>(count, 4096), offset);
  };
  for (const automation::FileSystem& broken : {no_open, read_fails_later, cut_short}) {
    test_support::ScopedFileSystem scoped(broken);
    Bstr name = path("f");
    EXPECT_EQ(file_->CRC32File(name), 0);
    EXPECT_EQ(file_->CRC32FileHex(name).str(), u"0");
  }
  EXPECT_TRUE(boxes().empty());
}

}  // namespace
}  // namespace drumel
